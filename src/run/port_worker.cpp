#include "port_worker.h"

#include <utility>

using namespace zentrivo;

PortWorker::PortWorker() : home_(new QObject) {
    thread_.setObjectName("port");
    home_->moveToThread(&thread_);
    thread_.start();
}

PortWorker::~PortWorker() {
    abandon_ = true;
    thread_.quit();
    thread_.wait();
    delete home_;
}

void PortWorker::Run(Request request, QObject* context, Done done) {
    QMetaObject::invokeMethod(
        home_,
        [this, request = std::move(request), context, done = std::move(done)]() mutable {
            if (abandon_) {
                return;  // nothing more goes out to a program that closes
            }
            const ExchangeResult result =
                ExchangeCommand(request.port, request.command, request.pollLimit,
                                request.quietWrite, nullptr, {}, request.sleep, request.pace,
                                &abandon_);
            QMetaObject::invokeMethod(
                context, [result, done = std::move(done)] { done(result); },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}
