#include "uno/officeconnection.h"

#include "uno/unostrings.h"

#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <rtl/bootstrap.hxx>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <random>
#include <thread>

#include <pthread.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace Sprelio::OfficeConnection {

namespace uno = com::sun::star::uno;
using rtl::OUString;

namespace {

// How long to wait between two tries to reach a pipe that the office does not listen on yet.
constexpr auto RetryInterval = std::chrono::milliseconds(40);

} // namespace

std::string programFolder()
{
    if (const char *unoPath = std::getenv("UNO_PATH"); unoPath != nullptr && *unoPath != '\0') {
        return unoPath;
    }
    const char *path = std::getenv("PATH");
    std::string_view folders = path != nullptr ? path : "";
    while (!folders.empty()) {
        const std::size_t end = std::min(folders.find(':'), folders.size());
        const std::filesystem::path candidate = std::filesystem::path(folders.substr(0, end)) / "soffice";
        folders.remove_prefix(std::min(end + 1, folders.size()));
        if (candidate.parent_path().empty() || access(candidate.c_str(), X_OK) != 0) {
            continue;
        }
        std::error_code error;
        const std::filesystem::path real = std::filesystem::canonical(candidate, error);
        if (!error) {
            return real.parent_path().string();
        }
    }
    return {};
}

std::string sofficeIn(const std::string &folder)
{
    if (folder.empty()) {
        return {};
    }
    std::string soffice = (std::filesystem::path(folder) / "soffice").string();
    return access(soffice.c_str(), X_OK) == 0 ? soffice : std::string();
}

std::string uniquePipeName(std::string_view prefix)
{
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    return std::string(prefix) + std::to_string(getpid()) + "_" + std::to_string(counter++) + "_" +
           std::to_string(random());
}

std::string acceptArgument(std::string_view pipe)
{
    return "--accept=pipe,name=" + std::string(pipe) + ";urp;StarOffice.ComponentContext";
}

void keepClosedPipesFromEndingTheProgram()
{
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
}

uno::Reference<uno::XComponentContext> localContext(const std::string &folder)
{
    static std::mutex mutex;
    static uno::Reference<uno::XComponentContext> context;
    const std::lock_guard lock(mutex);
    if (!context.is()) {
        // The office's own bootstrap file names its type and service registries.
        const std::filesystem::path fundamental = std::filesystem::path(folder) / "fundamentalrc";
        if (std::filesystem::exists(fundamental)) {
            rtl::Bootstrap::set(OUString("URE_BOOTSTRAP"),
                                fromUtf8("vnd.sun.star.pathname:" + fundamental.string()));
        }
        context = cppu::defaultBootstrap_InitialComponentContext();
    }
    return context;
}

bool startDetached(const std::string &soffice, const std::vector<std::string> &arguments)
{
    // Everything the child needs is made before it exists: between fork and exec only
    // async-signal-safe calls are allowed in a process with threads.
    std::vector<std::string> words{soffice};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char *> argv;
    argv.reserve(words.size() + 1);
    for (std::string &word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        // The grandchild runs soffice; the child ends at once, so that nobody has to wait for it.
        setsid();
        if (fork() == 0) {
            sigset_t none;
            sigemptyset(&none);
            pthread_sigmask(SIG_SETMASK, &none, nullptr);
            close_range(3, ~0U, 0);
            execve(argv[0], argv.data(), environ);
            _exit(127);
        }
        _exit(0);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

Remote connect(const uno::Reference<uno::XComponentContext> &local, std::string_view pipe,
               std::chrono::steady_clock::time_point deadline, const std::function<bool()> &keepTrying)
{
    const uno::Reference<com::sun::star::connection::XConnector> connector =
        com::sun::star::connection::Connector::create(local);
    const OUString address = fromUtf8("pipe,name=" + std::string(pipe));
    for (;;) {
        uno::Reference<com::sun::star::connection::XConnection> connection;
        try {
            connection = connector->connect(address);
        } catch (const com::sun::star::connection::NoConnectException &) {
            if (std::chrono::steady_clock::now() >= deadline || !keepTrying()) {
                throw;
            }
            std::this_thread::sleep_for(RetryInterval);
            continue;
        }
        const uno::Reference<com::sun::star::bridge::XBridge> bridge =
            com::sun::star::bridge::BridgeFactory::create(local)->createBridge(OUString(), OUString("urp"),
                                                                               connection, nullptr);
        Remote remote;
        remote.bridge.set(bridge, uno::UNO_QUERY_THROW);
        try {
            remote.context.set(bridge->getInstance(OUString("StarOffice.ComponentContext")),
                               uno::UNO_QUERY_THROW);
            return remote;
        } catch (const com::sun::star::lang::DisposedException &) {
            // An office that has just begun to listen on a pipe now and then drops the first
            // connection before it answers; the next one on the same pipe comes up.
            remote.bridge->dispose();
            if (std::chrono::steady_clock::now() >= deadline || !keepTrying()) {
                throw;
            }
            std::this_thread::sleep_for(RetryInterval);
        } catch (...) {
            remote.bridge->dispose();
            throw;
        }
    }
}

} // namespace Sprelio::OfficeConnection
