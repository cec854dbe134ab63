#pragma once

#include <cstdint>

// What the simulated camera gets wrong on purpose, by the number of the shot
// (counted from 1 over the session); 0 means "never".
struct CameraFaults {
    std::int64_t MissFrom = 0;   // this shot is never stored...
    std::int64_t MissCount = 1;  // ...nor the shots after it up to this many; 0 = all
    std::int64_t Late = 0;       // this shot is stored LateMs later than the others
    std::int64_t LateMs = 5000;
    std::int64_t Cut = 0;  // this shot is written cut short, and finished CutMs later
    std::int64_t CutMs = 3000;
    bool Raw = false;  // a RAW file (IMG_0001.CR2) beside each JPEG
    // A camera tethered over the network only:
    std::int64_t Drop = 0;               // at this shot the camera goes away, the shot lost...
    std::int64_t DropMs = -1;            // ...and comes back this long after; -1 = never
    std::int64_t FailDownload = 0;       // the first downloads of this shot's JPEG fail...
    std::int64_t FailDownloadTimes = 1;  // ...this many of them

    bool Misses(std::int64_t shot) const {
        return MissFrom != 0 && shot >= MissFrom && (MissCount == 0 || shot < MissFrom + MissCount);
    }
};
