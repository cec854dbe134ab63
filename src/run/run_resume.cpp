#include "run_resume.h"

#include <QString>
#include <algorithm>

#include "core/photos/photo_arrival.h"

using namespace zentrivo;

std::optional<RunJournal> RunResume::Ask() {
    const RunJournalRead read = journal_.Read();
    if (!read.exists) {
        return std::nullopt;
    }
    if (!read.journal) {
        journal_.SetAsideDamaged();
        observer_.ShowMessage("Error",
                              "The journal of the interrupted run is damaged and can not be used. "
                              "It has been set aside.",
                              ShootObserver::Icon::Error);
        return std::nullopt;
    }
    const int photos = PhotoCommandCount(read.journal->Commands);
    const int next = std::min(read.journal->PhotosDone + 1, photos);
    const QString question = QString(
                                 "The last run stopped at %1, at photo %2 of %3.\r\n\r\n"
                                 "Do you want to go on from photo %2 ?")
                                 .arg(QString::fromStdString(StoppedAt(*read.journal)))
                                 .arg(next)
                                 .arg(photos);
    if (!observer_.AskYesNo("Resume Interrupted Run", question)) {
        return std::nullopt;
    }
    return read.journal;
}

std::optional<RunJournal> RunResume::Take() {
    std::optional<RunJournal> journal = std::exchange(held_, std::nullopt);
    setup_.clear();
    if (journal) {
        const std::vector<std::string> setup = ResumeSetup(*journal);
        setup_.assign(setup.begin(), setup.end());
    }
    return journal;
}

void RunResume::Drop() {
    held_.reset();
    setup_.clear();
}

void RunResume::SetUp() {
    // A Stop during the wait has emptied it already.
    if (!setup_.empty()) {
        setup_.pop_front();
    }
}
