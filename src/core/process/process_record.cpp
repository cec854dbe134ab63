#include "core/process/process_record.h"

namespace zentrivo {

const char* ProcessStateText(std::int32_t state) {
    switch (state) {
        case kProcessStarted:
            return "Process started !";
        case kProcessPaused:
            return "Process paused...";
        default:
            return "Process not started.";
    }
}

}  // namespace zentrivo
