#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "camera_faults.h"

// How the simulated board behaves; the options make it misbehave on purpose.
// Commands are counted from 1 in the order they arrive; 0 means "never".
struct SimOptions {
    std::int32_t StepsPerRevolution = 48;
    std::int32_t GearRatio = 25;
    double TimeScale = 1.0;        // 0.1: ten times faster than real
    std::int64_t ErrorAt = 0;      // this command gets the error reply
    std::int64_t SilentFrom = 0;   // from this command on, no reply at all
    std::int64_t HangUpAfter = 0;  // after answering this command, hang up
    std::int64_t HangUpAt = 0;     // act on this command, then hang up without answering
    std::vector<std::int64_t> KillAtRotations;  // these rotations kill the program: a crash
    std::string KillPidFile;                    // holds the program's process id
    bool SplitReplies = false;                  // each reply in two writes
    std::int64_t SplitGapMs = 200;              // between the two writes
    std::string Reply = "OK\r\n";               // the reply to an accepted command
    std::string ErrorReply = "ERROR\r\n";
    std::string LogPath;                   // where each command is logged, if set
    bool Verbose = false;                  // log lines on stderr too
    bool LogMicroseconds = false;          // log times to the microsecond
    std::string CameraDir;                 // where the camera stores photos, if set
    std::int64_t CameraDelayMs = 300;      // from the shot until the file appears
    std::int64_t CameraSlowWriteMs = 200;  // how long writing one photo takes
    CameraFaults Camera;                   // photos lost, late, cut short, doubled
    bool CameraPtpIp = false;              // the camera is tethered over PTP/IP instead
    bool CameraNoCable = false;            // the board does not fire the camera
    std::int64_t CameraPhotoBytes = 0;     // the tethered camera's JPEGs padded to this
};

struct ParsedOptions {
    SimOptions Options;
    bool ShowHelp = false;
    std::string Error;  // not empty when the arguments are wrong
};

// Reads "--name value" or "--name=value" arguments (without the program name).
ParsedOptions ParseSimOptions(const std::vector<std::string>& args);

extern const char kSimUsage[];
