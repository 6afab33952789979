// Starts one program and reports, on one line, how long it took from exec until its first top-level
// window was mapped (wall time and the CPU time of all its threads, in milliseconds) and its resident
// memory one second after exec (in kilobytes). The program is ended afterwards.
//   startup_probe PROGRAM [ARGS...]
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// CPU time in nanoseconds of every thread the process still has.
long long cpuNanoseconds(pid_t pid)
{
    long long total = 0;
    const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
    std::error_code error;
    for (const auto &task : std::filesystem::directory_iterator(tasks, error)) {
        std::ifstream schedstat(task.path() / "schedstat");
        long long running = 0;
        if (schedstat >> running) {
            total += running;
        }
    }
    return total;
}

long residentKilobytes(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

// Waits for a top-level window to be mapped; false when none is within the time limit.
bool waitForMap(Display *display, Clock::time_point deadline)
{
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    while (Clock::now() < deadline) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify) {
                return true;
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        poll(&connection, 1, static_cast<int>(std::max<long long>(1, left.count())));
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fputs("usage: startup_probe PROGRAM [ARGS...]\n", stderr);
        return 2;
    }
    Display *display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("startup_probe: no X display\n", stderr);
        return 1;
    }
    // Without a window manager top-level windows are children of the root window, and with one their
    // frames are: either way the root window hears of the first map.
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        close(ConnectionNumber(display));
        execvp(argv[1], argv + 1);
        std::perror("startup_probe: exec");
        _exit(127);
    }
    const bool mapped = waitForMap(display, start + std::chrono::seconds(30));
    const long long cpu = cpuNanoseconds(child);
    const auto wall = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    std::this_thread::sleep_until(start + std::chrono::seconds(1));
    const long rss = residentKilobytes(child);

    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    XCloseDisplay(display);
    if (!mapped) {
        std::fprintf(stderr, "startup_probe: %s mapped no window\n", argv[1]);
        return 1;
    }
    std::printf("%.1f %.1f %ld\n", wall, static_cast<double>(cpu) / 1e6, rss);
    return 0;
}
