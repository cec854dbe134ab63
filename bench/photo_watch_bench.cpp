// How long the photo watch takes on a camera folder of 10,000 and of 50,000
// photos, beside a bare listing of the same folder: the listing at Start (the
// snapshot) and one refresh during a shoot. The refresh runs every 3 s in
// the window's thread, so it should cost at most 1.3 times the bare listing,
// the listing at Start at most 1.5 times. The ratios are printed at the end.

#include <benchmark/benchmark.h>

#ifndef _WIN32
#include <dirent.h>
#endif

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "core/photos/photo_listing.h"
#include "core/photos/photo_watch.h"

namespace fs = std::filesystem;
using zentrivo::PhotoWatch;

namespace {

std::string PhotoName(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%05d.JPG", i);
    return name;
}

// Camera folders made once per size and removed when the benchmark ends.
class CameraFolders {
public:
    ~CameraFolders() {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    const std::string& Get(int photos) {
        auto found = folders_.find(photos);
        if (found != folders_.end()) {
            return found->second;
        }
        const fs::path folder = root_ / std::to_string(photos);
        fs::create_directories(folder);
        for (int i = 0; i < photos; ++i) {
            std::ofstream(folder / PhotoName(i));
        }
        return folders_[photos] = folder.string();
    }

private:
    fs::path root_ = fs::temp_directory_path() / "zentrivo-bench-camera";
    std::map<int, std::string> folders_;
};

CameraFolders& Folders() {
    static CameraFolders folders;
    return folders;
}

// The steady state of a long shoot: the first half of the folder was there
// when watching began, the second half has been found already, so every name
// of the listing is looked up and none is added.
PhotoWatch HalfKnownHalfFound(const std::string& folder) {
    std::vector<std::string> names = zentrivo::ListFiles(folder);
    const std::vector<std::string> known(names.begin(), names.begin() + names.size() / 2);
    PhotoWatch watch;
    watch.Begin(known);
    watch.Refresh(names);
    return watch;
}

void BareListing(benchmark::State& state) {
    const std::string& folder = Folders().Get(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::size_t entries = 0;
        for (const auto& entry : fs::directory_iterator(folder)) {
            benchmark::DoNotOptimize(entry);
            ++entries;
        }
        benchmark::DoNotOptimize(entries);
    }
}

#ifndef _WIN32
// The floor under any listing: the system's own directory reading, with no
// path built for an entry. The program reads the folder this way.
void BareReaddir(benchmark::State& state) {
    const std::string& folder = Folders().Get(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::size_t entries = 0;
        DIR* dir = opendir(folder.c_str());
        while (const dirent* entry = readdir(dir)) {
            benchmark::DoNotOptimize(entry);
            ++entries;
        }
        closedir(dir);
        benchmark::DoNotOptimize(entries);
    }
}
BENCHMARK(BareReaddir)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);
#endif

void StartListing(benchmark::State& state) {
    const std::string& folder = Folders().Get(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        PhotoWatch watch;
        zentrivo::BeginPhotoWatch(watch, folder);
        benchmark::DoNotOptimize(watch.KnownPhotos.Count());
    }
}

void RefreshFolder(benchmark::State& state) {
    const std::string& folder = Folders().Get(static_cast<int>(state.range(0)));
    PhotoWatch watch = HalfKnownHalfFound(folder);
    for (auto _ : state) {
        benchmark::DoNotOptimize(zentrivo::RefreshNewPhotos(watch, folder));
    }
    state.counters["new_photos"] = static_cast<double>(watch.NewCount());
}

void RefreshListingOnly(benchmark::State& state) {
    const std::string& folder = Folders().Get(static_cast<int>(state.range(0)));
    PhotoWatch watch = HalfKnownHalfFound(folder);
    const std::vector<std::string> listing = zentrivo::ListFiles(folder);
    for (auto _ : state) {
        benchmark::DoNotOptimize(watch.Refresh(listing));
    }
}

}  // namespace

BENCHMARK(BareListing)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(StartListing)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(RefreshFolder)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(RefreshListingOnly)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

namespace {

// Prints each run as usual and keeps its time, so that the ratios to the
// bare listing of the same folder can be printed beside them at the end.
// The ratios are of CPU time (the kernel's part included), which a busy
// machine disturbs far less than the time on the clock.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") {
                times_[run.run_name.function_name][run.run_name.args] = run.GetAdjustedCPUTime();
            }
        }
    }

    void PrintRatios() const {
        const auto bare = times_.find("BareListing");
        if (bare == times_.end()) {
            return;
        }
        std::cout << "\nAgainst the bare listing (std::filesystem) of the same folder:\n";
        for (const auto& [name, bySize] : times_) {
            if (name == "BareListing" || name == "BareReaddir" || name == "RefreshListingOnly") {
                continue;
            }
            for (const auto& [size, time] : bySize) {
                const auto base = bare->second.find(size);
                if (base != bare->second.end() && base->second > 0) {
                    std::cout << "  " << name << "/" << size << ": " << time << " ms CPU, bare "
                              << base->second << " ms, ratio " << time / base->second << "\n";
                }
            }
        }
    }

private:
    std::map<std::string, std::map<std::string, double>> times_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
