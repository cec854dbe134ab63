#include "port_worker.h"

#include <utility>

using namespace zentrivo;

PortWorker::PortWorker() : thread_(QThread::create([this] { Serve(); })) {
    thread_->setObjectName("port");
    thread_->start();
}

PortWorker::~PortWorker() {
    {
        QMutexLocker lock(&mutex_);
        abandon_ = true;
        wake_.wakeAll();
    }
    thread_->wait();
}

void PortWorker::Serve() {
    for (;;) {
        std::function<void()> job;
        {
            QMutexLocker lock(&mutex_);
            while (jobs_.empty() && !abandon_) {
                wake_.wait(&mutex_);
            }
            if (abandon_) {
                return;  // nothing more goes out to a program that closes
            }
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}

void PortWorker::Run(Request request, QObject* context, Done done) {
    QMutexLocker lock(&mutex_);
    jobs_.push_back([this, request = std::move(request), context, done = std::move(done)] {
        const ExchangeResult result =
            ExchangeCommand(request.port, request.command, request.pollLimit, request.quietWrite,
                            nullptr, {}, request.sleep, request.pace, &abandon_);
        QMetaObject::invokeMethod(
            context, [result, done] { done(result); }, Qt::QueuedConnection);
    });
    wake_.wakeOne();
}
