#include "targets/automation.h"

#if defined(SPRELIO_WITH_UNO)
#include <dlfcn.h>

#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>
#endif

namespace Sprelio {

#if defined(SPRELIO_WITH_UNO)

namespace {

// The UNO bridge from its module: installed, it lies at a fixed place relative to the program; in the
// build folder, where the build put it. Where neither loads (the office's libraries are missing), the
// office is unreachable like on a platform without one.
std::unique_ptr<AutomationBridge> loadUnoBridge()
{
    std::vector<std::filesystem::path> files;
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        files.push_back(program.parent_path() / SPRELIO_RELATIVE_UNO_MODULE);
    }
    files.emplace_back(SPRELIO_BUILT_UNO_MODULE);
    for (const std::filesystem::path &file : files) {
        // Never closed: the bridge's objects live on in the callers.
        void *module = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            continue;
        }
        using Create = AutomationBridge *();
        if (auto *create = reinterpret_cast<Create *>(dlsym(module, "sprelio_create_uno_bridge"))) {
            return std::unique_ptr<AutomationBridge>(create());
        }
    }
    return createPlatformBridge();
}

// Loads the module at the first call, so that a program that never sends to the office never loads
// it. Calls wait for a connection that is being made ahead in the background.
class DeferredUnoBridge final : public AutomationBridge
{
public:
    AutomationValue attach(std::string_view progId) override
    {
        const std::lock_guard lock(m_state->mutex);
        return m_state->bridge().attach(progId);
    }
    AutomationValue create(std::string_view progId) override
    {
        const std::lock_guard lock(m_state->mutex);
        return m_state->bridge().create(progId);
    }
    void endUnusedStarted() override
    {
        const std::lock_guard lock(m_state->mutex);
        if (m_state->loaded != nullptr) {
            m_state->loaded->endUnusedStarted();
        }
    }
    void prepare() override
    {
        // The thread owns a share of the state: an office that does not answer must not keep the
        // program from ending.
        std::thread([state = m_state] {
            const std::lock_guard lock(state->mutex);
            state->bridge().prepare();
        }).detach();
    }

private:
    struct State
    {
        std::mutex mutex;
        std::unique_ptr<AutomationBridge> loaded;

        AutomationBridge &bridge()
        {
            if (loaded == nullptr) {
                loaded = loadUnoBridge();
            }
            return *loaded;
        }
    };

    std::shared_ptr<State> m_state = std::make_shared<State>();
};

} // namespace

std::unique_ptr<AutomationBridge> createOfficeBridge()
{
    return std::make_unique<DeferredUnoBridge>();
}

#else

std::unique_ptr<AutomationBridge> createOfficeBridge()
{
    // On Windows the office's service manager is a COM server like the other applications;
    // elsewhere, without the office's SDK at build time, no office can be reached.
    return createPlatformBridge();
}

#endif

} // namespace Sprelio
