// How long one refresh of the photo watch takes on a camera folder of 10,000
// and of 50,000 photos, beside a bare listing of the same folder. A refresh
// should cost no more than about twice the bare listing.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "photo_listing.h"
#include "photo_watch.h"

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

void ListPhotos(benchmark::State& state) {
    const std::string& folder = Folders().Get(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(zentrivo::ListFiles(folder));
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
BENCHMARK(ListPhotos)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(RefreshFolder)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(RefreshListingOnly)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
