#include "way_back.h"

using namespace zentrivo;

void WayBack::Go(std::int32_t rotations, Done done) {
    const std::string command = ReturnCommand(plan_, rotations);
    const std::int32_t pollLimit = pace_.ReturnPollLimit(command, plan_.PeriodMs);
    // A port closed since the run, after a failed write or a device that
    // went away, is opened again: the device may be back.
    if (!device_.Connect()) {
        done(command, std::nullopt);
        return;
    }
    // The controller finishes the move whatever becomes of the program: a
    // resume after a crash from here on must turn the table to its place.
    journal_.TurningBack();
    device_.Exchange(
        command, pollLimit, false,
        [command, done = std::move(done)](const ExchangeResult& result) { done(command, result); });
}
