// Linked into every test. QThread::wait() returns, for the test library's own watchdog thread as for
// any other, a little before the thread has handed back the data Qt keeps for it. A test that ends
// right then, on a busy machine, leaves the leak checker to find that data with no live thread
// pointing at it. At exit, before the leak checker looks, the threads still ending get a moment:
// this object is destroyed before the checker runs, which the sanitizer registered first.

#include <chrono>
#include <filesystem>
#include <iterator>
#include <thread>

namespace {

std::ptrdiff_t threadCount()
{
    std::error_code error;
    const std::filesystem::directory_iterator tasks("/proc/self/task", error);
    return error ? 1 : std::distance(tasks, std::filesystem::directory_iterator());
}

struct ThreadSettle
{
    ~ThreadSettle()
    {
        using namespace std::chrono_literals;
        const auto deadline = std::chrono::steady_clock::now() + 2s;
        while (threadCount() > 1 && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(1ms);
        }
    }
} settle;

} // namespace
