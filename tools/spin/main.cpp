// zentrivo-spin: a 360-degree view of a turn's photos, from the command line.
#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#else
#include <unistd.h>
#endif

#include <atomic>
#include <csignal>
#include <cstdio>
#include <iostream>

#include "spin/spin_export.h"
#include "spin_options.h"

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kBadInput = 2;
constexpr int kInterrupted = 130;

std::atomic<bool> interrupted{false};

void Interrupt(int) {
    interrupted = true;
}

// Progress on standard error: one line kept up to date on a terminal, a
// line for each tenth of the way otherwise.
class ProgressLine {
public:
    explicit ProgressLine(bool quiet) : quiet_(quiet), terminal_(::isatty(2) != 0) {}
    ~ProgressLine() {
        if (open_) {
            std::cerr << '\n';
        }
    }

    bool Show(const zentrivo::SpinProgress& p) {
        if (quiet_) {
            return !interrupted;
        }
        const int tenth = p.total > 0 ? p.done * 10 / p.total : 10;
        if (terminal_) {
            if (p.stage != stage_ && open_) {
                std::cerr << '\n';
            }
            std::cerr << '\r' << p.stage << ": " << p.done << "/" << p.total << std::flush;
            open_ = true;
        } else if (p.stage != stage_ || tenth != tenth_) {
            std::cerr << p.stage << ": " << p.done << "/" << p.total << std::endl;
        }
        stage_ = p.stage;
        tenth_ = tenth;
        return !interrupted;
    }

private:
    const bool quiet_;
    const bool terminal_;
    bool open_ = false;
    std::string stage_;
    int tenth_ = -1;
};

}  // namespace

int main(int argc, char** argv) {
    SpinOptions options;
    std::string why;
    if (!ParseSpinOptions(argc - 1, argv + 1, options, why)) {
        std::cerr << "zentrivo-spin: " << why << "\nTry zentrivo-spin --help.\n";
        return kBadInput;
    }
    if (options.help) {
        std::cout << SpinUsage();
        return kDone;
    }
    std::signal(SIGINT, Interrupt);
    std::signal(SIGTERM, Interrupt);

    zentrivo::SpinResult result;
    {
        ProgressLine line(options.quiet);
        result = zentrivo::ExportSpin(
            options.request, [&line](const zentrivo::SpinProgress& p) { return line.Show(p); });
    }
    switch (result.status) {
        case zentrivo::SpinStatus::kDone:
            for (const auto& path : result.written) {
                std::cout << path.string() << '\n';
            }
            // Written all the same: the user looks at these few and decides.
            for (const std::string& doubt : result.doubts) {
                std::cerr << "zentrivo-spin: " << doubt << '\n';
            }
            return kDone;
        case zentrivo::SpinStatus::kBadRequest:
            std::cerr << "zentrivo-spin: " << result.message << '\n';
            return kBadInput;
        case zentrivo::SpinStatus::kCancelled:
            std::cerr << "zentrivo-spin: interrupted; nothing was written.\n";
            return kInterrupted;
        case zentrivo::SpinStatus::kFailed:
            break;
    }
    std::cerr << "zentrivo-spin: " << result.message << '\n';
    return kFailed;
}
