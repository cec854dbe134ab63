// Driver of tether_download.sh: how long a photo the simulated PTP/IP camera
// announces takes to lie whole in the camera folder, downloaded by the
// program's own tether (CameraTether, in this process) and by gphoto2's
// --wait-event-and-download (a child process), each against a simulator of
// its own, photo for photo in turns.
//
//   tether_download PHOTO_BYTES PHOTOS FOLDER [PAUSE_MS]
//
// The moment of the camera's event: the event connection runs through a
// relay in this process, which notes when the ObjectAdded packet arrives
// from the simulator and passes it on at once. The board's reply is no
// good for that: the simulator answers at the shot, and only then draws,
// encodes and pads the photo and announces it, which for a large photo
// takes milliseconds that neither downloader can help. The moment the
// photo is whole: inotify on the folder, when a file is renamed into it.
// Both write elsewhere first and rename the whole file into place: the
// program from a hidden part file beside it, gphoto2 from a temporary file
// in its working folder. Only renames are watched, so that the close of the
// program's part file does not wake the driver just before the moment it
// measures, which on a busy machine would delay the download it watches.
//
// Prints a line per photo and, last, for each downloader "result TOOL BYTES
// PHOTOS MEDIAN_MS WORST_MS REPLY_TO_EVENT_MS" for the script.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "run/camera_tether.h"
#include "simulated_turntable.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kInitEventAck = 4;
constexpr std::uint32_t kEventPacket = 8;
constexpr std::uint16_t kObjectAdded = 0x4002;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

std::uint32_t U32(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = send(fd, data, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Sits on the event connection between the downloader and the camera and
// notes the moment each ObjectAdded arrives; the command connection, which
// carries the photos, goes straight to the camera.
class EventRelay {
public:
    explicit EventRelay(int camera_port) : camera_port_(camera_port) {
        listen_fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (listen_fd_ < 0 ||
            bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(listen_fd_, 4) != 0 ||
            getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
            throw std::runtime_error("cannot listen for the event relay");
        }
        port_ = ntohs(address.sin_port);
        if (pipe2(wake_, O_CLOEXEC) != 0) {
            throw std::runtime_error("cannot make a pipe");
        }
        thread_ = std::thread(&EventRelay::Serve, this);
    }
    ~EventRelay() {
        stopping_ = true;
        (void)!write(wake_[1], "x", 1);
        thread_.join();
        for (const int fd : {listen_fd_, wake_[0], wake_[1]}) {
            close(fd);
        }
    }
    EventRelay(const EventRelay&) = delete;
    EventRelay& operator=(const EventRelay&) = delete;

    int Port() const { return port_; }
    bool Connected() const { return connected_; }

    // The arrival of the next ObjectAdded not yet taken; none within `wait`.
    std::optional<Clock::time_point> NextObjectAdded(std::chrono::milliseconds wait) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!arrived_.wait_for(lock, wait, [this] { return !added_.empty(); })) {
            return std::nullopt;
        }
        const Clock::time_point when = added_.front();
        added_.pop_front();
        return when;
    }
    void Forget() {
        const std::lock_guard<std::mutex> lock(mutex_);
        added_.clear();
    }

private:
    int ConnectToCamera() const {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<std::uint16_t>(camera_port_));
        if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            close(fd);
            return -1;
        }
        return fd;
    }

    // Splits what the camera sent into packets and notes the events.
    void Read(const char* data, std::size_t size, Clock::time_point when) {
        pending_.append(data, size);
        while (pending_.size() >= 8) {
            const std::uint32_t length = U32(pending_, 0);
            if (length < 8 || pending_.size() < length) {
                break;
            }
            const std::uint32_t type = U32(pending_, 4);
            if (type == kInitEventAck) {
                connected_ = true;
            } else if (type == kEventPacket && length >= 10) {
                const auto code =
                    static_cast<std::uint16_t>(static_cast<unsigned char>(pending_[8]) |
                                               static_cast<unsigned char>(pending_[9]) << 8);
                if (code == kObjectAdded) {
                    {
                        const std::lock_guard<std::mutex> lock(mutex_);
                        added_.push_back(when);
                    }
                    arrived_.notify_one();
                }
            }
            pending_.erase(0, length);
        }
    }

    void Serve() {
        int downloader = -1;
        int camera = -1;
        char buffer[65536];
        while (!stopping_) {
            std::vector<pollfd> watched = {{wake_[0], POLLIN, 0}, {listen_fd_, POLLIN, 0}};
            if (downloader >= 0) {
                watched.push_back({downloader, POLLIN, 0});
                watched.push_back({camera, POLLIN, 0});
            }
            if (poll(watched.data(), watched.size(), -1) < 0) {
                continue;
            }
            if (watched[0].revents != 0) {
                break;
            }
            if (watched[1].revents != 0) {
                // A downloader that connects again (after the camera went
                // away) replaces the old connection.
                const int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
                if (fd >= 0) {
                    for (const int old : {downloader, camera}) {
                        if (old >= 0) {
                            close(old);
                        }
                    }
                    downloader = fd;
                    camera = ConnectToCamera();
                    pending_.clear();
                    const int on = 1;
                    setsockopt(downloader, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
                    if (camera < 0) {
                        close(downloader);
                        downloader = -1;
                    } else {
                        setsockopt(camera, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
                    }
                }
                continue;
            }
            if (watched.size() < 4) {
                continue;
            }
            bool ended = false;
            if (watched[3].revents != 0) {
                const ssize_t n = recv(camera, buffer, sizeof buffer, 0);
                const Clock::time_point when = Clock::now();
                ended = n <= 0 || !WriteAll(downloader, buffer, static_cast<std::size_t>(n));
                if (n > 0) {
                    Read(buffer, static_cast<std::size_t>(n), when);
                }
            }
            if (!ended && watched[2].revents != 0) {
                const ssize_t n = recv(downloader, buffer, sizeof buffer, 0);
                ended = n <= 0 || !WriteAll(camera, buffer, static_cast<std::size_t>(n));
            }
            if (ended) {
                close(downloader);
                close(camera);
                downloader = camera = -1;
                connected_ = false;
            }
        }
        for (const int fd : {downloader, camera}) {
            if (fd >= 0) {
                close(fd);
            }
        }
    }

    const int camera_port_;
    int listen_fd_ = -1;
    int port_ = 0;
    int wake_[2] = {-1, -1};
    std::atomic<bool> stopping_{false};
    std::atomic<bool> connected_{false};
    std::string pending_;  // on the relay's thread
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<Clock::time_point> added_;
    std::thread thread_;
};

// The board's line, raw, as the program opens it.
class Board {
public:
    explicit Board(const std::string& path) {
        fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios settings{};
        if (fd_ < 0 || tcgetattr(fd_, &settings) != 0) {
            throw std::runtime_error("cannot open the board at " + path);
        }
        cfmakeraw(&settings);
        tcsetattr(fd_, TCSANOW, &settings);
    }
    ~Board() { close(fd_); }
    Board(const Board&) = delete;
    Board& operator=(const Board&) = delete;

    // Sends `command` and waits for the reply's end; false without one.
    bool Command(const std::string& command) {
        if (write(fd_, command.data(), command.size()) != static_cast<ssize_t>(command.size())) {
            return false;
        }
        char c = 0;
        pollfd in{fd_, POLLIN, 0};
        while (poll(&in, 1, 10000) == 1 && read(fd_, &c, 1) == 1) {
            if (c == '\n') {
                return true;
            }
        }
        return false;
    }

private:
    int fd_ = -1;
};

// The moment a photo lies whole in the folder: renamed into it under a
// name that is not hidden.
class FolderWatch {
public:
    explicit FolderWatch(const std::string& folder) : folder_(folder) {
        fd_ = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
        if (fd_ < 0 || inotify_add_watch(fd_, folder.c_str(), IN_MOVED_TO) < 0) {
            throw std::runtime_error("cannot watch " + folder);
        }
    }
    ~FolderWatch() { close(fd_); }
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // The name and moment of the next whole photo; empty after `wait`.
    std::string Next(std::chrono::milliseconds wait, Clock::time_point& when) {
        const Clock::time_point until = Clock::now() + wait;
        for (;;) {
            while (!queued_.empty()) {
                const auto next = queued_.front();
                queued_.pop_front();
                if (!next.first.empty() && next.first[0] != '.') {
                    when = next.second;
                    return next.first;
                }
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
            pollfd in{fd_, POLLIN, 0};
            if (left.count() <= 0 || poll(&in, 1, static_cast<int>(left.count())) != 1) {
                return {};
            }
            alignas(inotify_event) char buffer[8192];
            const ssize_t n = read(fd_, buffer, sizeof buffer);
            const Clock::time_point now = Clock::now();
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                queued_.emplace_back(event->len > 0 ? std::string(event->name) : std::string(),
                                     now);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
    }
    void Forget() {
        queued_.clear();
        char buffer[8192];
        while (read(fd_, buffer, sizeof buffer) > 0) {
        }
    }
    long long SizeOf(const std::string& name) const {
        struct stat info {};
        return stat((folder_ + "/" + name).c_str(), &info) == 0 ? info.st_size : -1;
    }

private:
    std::string folder_;
    int fd_ = -1;
    std::deque<std::pair<std::string, Clock::time_point>> queued_;
};

// gphoto2 downloading every photo the camera announces into `folder`.
class Gphoto2 {
public:
    Gphoto2(const std::string& port, const std::string& folder, const std::string& work,
            const std::string& log) {
        std::vector<std::string> words = {"gphoto2",
                                          "--port",
                                          port,
                                          "--camera",
                                          "PTP/IP Camera",
                                          "--keep",
                                          "--wait-event-and-download=3600s",
                                          "--filename",
                                          folder + "/%f.%C"};
        std::vector<char*> argv;
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        // It downloads into a temporary file in its working folder and
        // renames that into place: a folder of ours, on the same disk.
        posix_spawn_file_actions_addchdir_np(&actions, work.c_str());
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        const int failed = posix_spawnp(&pid_, "gphoto2", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (failed != 0) {
            throw std::runtime_error("cannot start gphoto2");
        }
    }
    ~Gphoto2() {
        // As Ctrl-C: it lets the camera go properly.
        kill(pid_, SIGINT);
        for (int i = 0; i < 50; ++i) {
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    Gphoto2(const Gphoto2&) = delete;
    Gphoto2& operator=(const Gphoto2&) = delete;

private:
    pid_t pid_ = -1;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Waits, serving the news the program's tether queues for this thread
// meanwhile (a download that failed is told at once).
void Pause(std::chrono::milliseconds ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// One downloader with a simulated camera of its own, the event connection
// through a relay, and the folder it downloads into watched.
struct Rig {
    Rig(const std::string& tool, long long bytes, const std::string& folder)
        : name(tool),
          simulator({"--time-scale", "0", "--camera-ptpip", "--camera-delay", "0",
                     "--camera-photo-bytes", std::to_string(bytes)}),
          camera_port(CameraPort(simulator.NextLine())),
          relay(camera_port),
          // libgphoto2's port with an event port of its own: the relay's.
          port("ptpip:127.0.0.1:" + std::to_string(camera_port) + ":" +
               std::to_string(relay.Port())),
          board(simulator.DevicePath()),
          watch(folder) {}

    // "camera: ptpip:127.0.0.1:PORT:PORT"
    static int CameraPort(const std::string& line) {
        const std::size_t last = line.rfind(':');
        if (line.rfind("camera: ptpip:", 0) != 0 || last == std::string::npos) {
            throw std::runtime_error("the simulator gave no camera: " + line);
        }
        return std::stoi(line.substr(last + 1));
    }

    std::string name;
    SimulatedTurntable simulator;
    int camera_port;
    EventRelay relay;
    std::string port;
    Board board;
    FolderWatch watch;
    std::vector<double> times;  // from the event to the whole photo, ms
    std::vector<double> gaps;   // from the board's reply to the event, ms
};

// Connects the program's own tether to the rig's camera.
std::unique_ptr<CameraTether> ConnectProgram(const Rig& rig, const std::string& folder) {
    auto tether = std::make_unique<CameraTether>();
    QString state;
    QEventLoop loop;
    QObject::connect(tether.get(), &CameraTether::StateChanged, &loop, [&](const QString& text) {
        state = text;
        if (text == "Camera: PTP/IP Camera") {
            loop.quit();
        }
    });
    QObject::connect(tether.get(), &CameraTether::DownloadFailed,
                     [](const QString& name, const QString& why) {
                         std::cerr << "download of " << name.toStdString()
                                   << " failed: " << why.toStdString() << "\n";
                     });
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    tether->SetFolder(QString::fromStdString(folder));
    tether->Use(QString::fromStdString(rig.port), "PTP/IP Camera");
    loop.exec();
    if (state != "Camera: PTP/IP Camera") {
        throw std::runtime_error("the program did not connect: " + state.toStdString());
    }
    return tether;
}

// One photo: the shot, its event, the whole file.
void Shoot(Rig& rig, long long bytes) {
    rig.relay.Forget();
    rig.watch.Forget();
    if (!rig.board.Command("P0001.")) {
        throw std::runtime_error("the board did not answer");
    }
    const Clock::time_point replied = Clock::now();
    const auto announced = rig.relay.NextObjectAdded(std::chrono::seconds(10));
    if (!announced) {
        throw std::runtime_error(rig.name + ": no event from the camera");
    }
    Clock::time_point whole;
    const std::string name = rig.watch.Next(std::chrono::seconds(60), whole);
    if (name.empty()) {
        throw std::runtime_error(rig.name + ": no photo in the folder within a minute");
    }
    const long long size = rig.watch.SizeOf(name);
    if (size != bytes) {
        throw std::runtime_error(rig.name + ": " + name + " has " + std::to_string(size) +
                                 " bytes, not " + std::to_string(bytes));
    }
    rig.times.push_back(Ms(whole - *announced));
    rig.gaps.push_back(Ms(*announced - replied));
    std::printf("  %-8s %s  %8.1f ms from the event (the event %.1f ms after the reply)\n",
                rig.name.c_str(), name.c_str(), rig.times.back(), rig.gaps.back());
    std::fflush(stdout);
}

// Both downloaders connected at once, each to its own camera, and the
// photos taken in turns, so that both meet the same load on the machine;
// which goes first changes every round.
int Run(long long bytes, int photos, const std::string& work, int pause_ms) {
    const std::string program_folder = work + "/zentrivo";
    const std::string gphoto2_folder = work + "/gphoto2";
    for (const std::string& folder : {program_folder, gphoto2_folder}) {
        mkdir(folder.c_str(), 0755);
    }
    Rig program(std::string("zentrivo"), bytes, program_folder);
    Rig other(std::string("gphoto2"), bytes, gphoto2_folder);
    const std::unique_ptr<CameraTether> tether = ConnectProgram(program, program_folder);
    const Gphoto2 gphoto2(other.port, gphoto2_folder, work, work + "/gphoto2.log");
    const Clock::time_point until = Clock::now() + std::chrono::seconds(20);
    while (!other.relay.Connected() && Clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!other.relay.Connected()) {
        throw std::runtime_error("gphoto2 did not connect");
    }
    // Whatever either does just after it connects is over before the first
    // photo.
    Pause(std::chrono::milliseconds(1500));

    for (int i = 1; i <= photos; ++i) {
        for (Rig* rig : i % 2 == 1 ? std::vector<Rig*>{&program, &other}
                                   : std::vector<Rig*>{&other, &program}) {
            // A pause that varies from photo to photo, so that the photos
            // fall at different points of either downloader's polling.
            Pause(std::chrono::milliseconds(pause_ms + (i * 37) % 200));
            Shoot(*rig, bytes);
        }
    }
    for (const Rig* rig : {&program, &other}) {
        std::printf("result %s %lld %d %.1f %.1f %.1f\n", rig->name.c_str(), bytes, photos,
                    Median(rig->times), *std::max_element(rig->times.begin(), rig->times.end()),
                    Median(rig->gaps));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 4) {
        std::cerr << "usage: tether_download PHOTO_BYTES PHOTOS FOLDER [PAUSE_MS]\n";
        return 2;
    }
    if (!CameraTether::Available()) {
        std::cerr << "this build has no tethering\n";
        return 2;
    }
    try {
        return Run(std::stoll(argv[1]), std::stoi(argv[2]), argv[3],
                   argc > 4 ? std::stoi(argv[4]) : 500);
    } catch (const std::exception& e) {
        std::cerr << "tether_download: " << e.what() << "\n";
        return 1;
    }
}
