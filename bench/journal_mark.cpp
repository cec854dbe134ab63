// What the run journal's mark costs a rotation: the mark that a rotation is
// under way must be on the disk before the rotation's command goes out, so
// at the fast pace, where no pause hides it, the run waits for it. This
// plays the journal of a run as the run does (each rotation answered is
// written beside the run, the photo's commands take about a millisecond,
// then the next mark is written and waited for) and prints the wait for
// the mark per rotation, median and worst.
//
//   journal_mark [FOLDER [ROTATIONS]]   in FOLDER (default: a new folder
//                                       beside this program, on its disk),
//                                       72 rotations unless given
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "run/shoot_journal.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    const fs::path folder =
        argc > 1 ? fs::path(argv[1]) : fs::absolute(argv[0]).parent_path() / "journal_mark.tmp";
    const int rotations = argc > 2 ? std::atoi(argv[2]) : 72;
    fs::create_directories(folder);

    // The commands of a run of that many photos, and its photos' names.
    std::vector<std::string> commands{"T0001.", "D0005.", "F2000."};
    for (int i = 0; i < rotations; ++i) {
        commands.insert(commands.end(), {"P0050.", "W0050.", "L0040."});
    }
    std::vector<double> waits;
    {
        ShootJournal journal(folder.string(), [] {
            const std::time_t now = std::time(nullptr);
            return *std::localtime(&now);
        });
        journal.Begin(commands, zentrivo::ReturnPlan{"L", 40, 5}, {});
        ShootJournal::Place place;
        for (int i = 0; i < rotations; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));  // P and W
            place.commandIndex = 3 + 3 * i + 2;
            place.rotationsDone = i;
            const auto begun = Clock::now();
            journal.RotationGoesOut(place);
            waits.push_back(Ms(Clock::now() - begun));
            place.rotationsDone = i + 1;
            place.received.push_back("IMG_" + std::to_string(1000 + i) + ".JPG");
            journal.RotationDone(place);
        }
        journal.End();
    }
    fs::remove_all(folder);

    std::vector<double> sorted = waits;
    std::sort(sorted.begin(), sorted.end());
    std::printf("journal mark, %d rotations in %s\n", rotations, folder.parent_path().c_str());
    std::printf("  wait for the mark per rotation: median %.3f ms, worst %.3f ms\n",
                sorted[sorted.size() / 2], sorted.back());
    return 0;
}
