#include "targets/unobridge.h"

#include "uno/officeconnection.h"
#include "uno/unostrings.h"

#include <com/sun/star/beans/XExactName.hpp>
#include <com/sun/star/frame/XDesktop.hpp>
#include <com/sun/star/frame/XFrames.hpp>
#include <com/sun/star/frame/XFramesSupplier.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/lang/XSingleServiceFactory.hpp>
#include <com/sun/star/reflection/InvocationTargetException.hpp>
#include <com/sun/star/script/XInvocation.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <utility>
#include <vector>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Sprelio {

namespace {

namespace uno = com::sun::star::uno;
namespace beans = com::sun::star::beans;
namespace frame = com::sun::star::frame;
namespace lang = com::sun::star::lang;
namespace reflection = com::sun::star::reflection;
namespace script = com::sun::star::script;
using rtl::OUString;

constexpr std::string_view ServiceManagerProgId = "com.sun.star.ServiceManager";
// What COM reports when the application raised an exception of its own.
constexpr std::int32_t ApplicationException = static_cast<std::int32_t>(0x80020009U);

AutomationError systemError(const OUString &message)
{
    return AutomationError(AutomationErrorKind::System, toUtf8(message), ApplicationException);
}

// Runs one UNO call and turns what UNO throws into the bridge's errors. An exception that the
// office raised inside the called method arrives wrapped; its own text is the one that counts.
template <typename Call> auto translated(Call &&call) -> decltype(call())
{
    try {
        return call();
    } catch (const reflection::InvocationTargetException &error) {
        uno::Exception inner;
        if (error.TargetException >>= inner) {
            throw systemError(inner.Message);
        }
        throw systemError(error.Message);
    } catch (const uno::Exception &error) {
        throw systemError(error.Message);
    }
}

// The state letter of a process from /proc, such as R, S, T (stopped) or Z (ended, not yet reaped);
// a blank when it is not there.
char processState(pid_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(file, line);
    const std::size_t nameEnd = line.rfind(')');
    return nameEnd != std::string::npos && nameEnd + 2 < line.size() ? line[nameEnd + 2] : ' ';
}

// Whether an office process is stopped, as by SIGSTOP: it answers nothing until it is continued.
bool isStopped(pid_t pid)
{
    const char state = processState(pid);
    return state == 'T' || state == 't';
}

// Whether process pid is an office of this user that has not ended.
bool isOwnOffice(pid_t pid)
{
    const std::filesystem::path folder = "/proc/" + std::to_string(pid);
    struct stat info = {};
    if (stat(folder.c_str(), &info) != 0 || info.st_uid != getuid()) {
        return false;
    }
    std::ifstream comm(folder / "comm");
    std::string name;
    std::getline(comm, name);
    const char state = processState(pid);
    return name == "soffice.bin" && state != 'Z' && state != 'X' && state != ' ';
}

// The offices of this user that run now.
std::set<pid_t> ownOffices()
{
    std::set<pid_t> offices;
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        const auto pid = static_cast<pid_t>(std::stol(name));
        if (isOwnOffice(pid)) {
            offices.insert(pid);
        }
    }
    return offices;
}

// One argument or variable of a process, from its NUL-separated list in /proc; empty when it has none.
std::string processSetting(pid_t pid, const char *list, std::string_view prefix)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/" + list, std::ios::binary);
    std::string item;
    while (std::getline(file, item, '\0')) {
        if (item.starts_with(prefix)) {
            return item.substr(prefix.size());
        }
    }
    return {};
}

// The profile of a running office as its URL, empty for the default one: from its command line,
// otherwise from its environment.
std::string profileOf(pid_t office)
{
    std::string profile = processSetting(office, "cmdline", "-env:UserInstallation=");
    return profile.empty() ? processSetting(office, "environ", "UserInstallation=") : profile;
}

// The profile that an office started by this program uses, as profileOf gives it.
std::string ownProfile()
{
    const char *profile = std::getenv("UserInstallation");
    return profile != nullptr ? profile : "";
}

// How long one call into the office may take before the connection is given up: an office that
// hangs would otherwise keep the send waiting for ever. A busy machine or an office still setting
// itself up can make a sound call take many seconds, so the limit is generous; a stopped office is
// seen at once instead, by looking at its process while the call waits.
constexpr auto CallLimit = std::chrono::seconds(60);
constexpr auto StoppedCheckInterval = std::chrono::milliseconds(250);
// How long an office may take to listen on the connection's pipe: handing over to a running office
// is quick, starting one of its own may take long on a busy machine.
constexpr auto HandOverLimit = std::chrono::seconds(20);
constexpr auto StartLimit = std::chrono::seconds(120);

// The office's component context behind the service manager: one connection over a local pipe,
// kept between sends because making it takes a while. Every call into the office runs under a
// time limit: a watcher closes the connection when a call outlasts it, so that the call fails
// and the connection is made anew for the next send.
class UnoConnection
{
public:
    UnoConnection()
        : m_watcher([this] { watch(); })
    {}

    ~UnoConnection()
    {
        {
            const std::lock_guard lock(m_watchMutex);
            m_stopping = true;
        }
        m_wake.notify_all();
        m_watcher.join();
        drop();
    }

    UnoConnection(const UnoConnection &) = delete;
    UnoConnection &operator=(const UnoConnection &) = delete;

    uno::Reference<uno::XComponentContext> context(std::string_view progId)
    {
        if (!openContext().is()) {
            connect(progId);
        }
        return m_context;
    }

    /// The context when a connection is open and the office still answers; null otherwise.
    uno::Reference<uno::XComponentContext> openContext()
    {
        if (m_context.is() && !alive()) {
            drop();
            m_lost = true;
        }
        return m_context;
    }

    /// Runs one call into the office under the time limit and turns what UNO throws into the
    /// bridge's errors.
    template <typename Call> auto call(Call &&work) -> decltype(work())
    {
        const Watched watched(*this);
        return translated(std::forward<Call>(work));
    }

    /// Connects to an office that runs for the profile that this program would use, so that
    /// connecting does not start an office of its own; errors are left to the next send.
    void prepare()
    {
        if (openContext().is()) {
            return;
        }
        for (const pid_t office : ownOffices()) {
            if (profileOf(office) == ownProfile()) {
                try {
                    context(ServiceManagerProgId);
                } catch (const AutomationError &) {
                }
                return;
            }
        }
    }

    /// Ends the office that connecting started, when it is still running and has no window:
    /// nobody can see or use it. An office that the user has opened a document in stays.
    void endUnusedStarted()
    {
        // The send has failed; the next one may connect again.
        m_unanswered = false;
        const pid_t office = std::exchange(m_started, 0);
        if (office == 0 || !isOwnOffice(office) || !openContext().is()) {
            return;
        }
        try {
            const bool inUse = call([&] {
                const uno::Reference<frame::XFramesSupplier> frames(
                    m_factory->createInstanceWithContext(OUString("com.sun.star.frame.Desktop"), m_context),
                    uno::UNO_QUERY_THROW);
                if (frames->getFrames()->getCount() > 0) {
                    return true;
                }
                const uno::Reference<frame::XDesktop> desktop(frames, uno::UNO_QUERY_THROW);
                desktop->terminate();
                return false;
            });
            if (inUse) {
                return;
            }
        } catch (const AutomationError &) {
            // Gone or stuck: the signal below ends it.
        }
        drop();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (isOwnOffice(office) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (isOwnOffice(office)) {
            kill(office, SIGKILL);
        }
    }

    /// A late-binding wrapper around an object or a struct, made by the office's own Invocation
    /// service so that it sees the same types as the object.
    uno::Reference<script::XInvocation> invocationOf(const uno::Any &target)
    {
        if (!m_factory.is()) {
            throw AutomationError(AutomationErrorKind::System, "The office connection is closed");
        }
        return call([&] {
            if (!m_invocationFactory.is()) {
                m_invocationFactory.set(m_factory->createInstanceWithContext(
                                            OUString("com.sun.star.script.Invocation"), m_context),
                                        uno::UNO_QUERY_THROW);
            }
            const uno::Sequence<uno::Any> arguments(&target, 1);
            // The Invocation service offers no other way to make its wrappers.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
            return uno::Reference<script::XInvocation>(
                m_invocationFactory->createInstanceWithArguments(arguments), uno::UNO_QUERY_THROW);
#pragma GCC diagnostic pop
        });
    }

private:
    // Marks the time of one call for the watcher. Calls may nest; the outermost one counts.
    class Watched
    {
    public:
        explicit Watched(UnoConnection &connection)
            : m_connection(connection)
        {
            // The threads that the connection starts write to its pipe, but a call may write too.
            OfficeConnection::keepClosedPipesFromEndingTheProgram();
            const std::lock_guard lock(m_connection.m_watchMutex);
            if (m_connection.m_depth++ == 0) {
                const auto now = std::chrono::steady_clock::now();
                m_connection.m_deadline = now + CallLimit;
                ++m_connection.m_callNumber;
            }
            m_connection.m_wake.notify_all();
        }
        ~Watched()
        {
            const std::lock_guard lock(m_connection.m_watchMutex);
            --m_connection.m_depth;
            m_connection.m_wake.notify_all();
        }
        Watched(const Watched &) = delete;
        Watched &operator=(const Watched &) = delete;

    private:
        UnoConnection &m_connection;
    };

    // Closes the connection when a call outlasts its time: the call then throws, as every later
    // one on this connection does.
    void watch()
    {
        std::unique_lock lock(m_watchMutex);
        while (!m_stopping) {
            if (m_depth == 0) {
                m_wake.wait(lock);
                continue;
            }
            const unsigned callNumber = m_callNumber;
            const auto deadline = m_deadline;
            const auto look = std::min(deadline, std::chrono::steady_clock::now() + StoppedCheckInterval);
            if (m_wake.wait_until(lock, look,
                                  [&] { return m_stopping || m_depth == 0 || m_callNumber != callNumber; })) {
                continue;
            }
            if (std::chrono::steady_clock::now() < deadline &&
                std::none_of(m_offices.begin(), m_offices.end(), isStopped)) {
                continue;
            }
            const uno::Reference<lang::XComponent> bridge = m_bridge;
            m_unanswered = true;
            lock.unlock();
            if (bridge.is()) {
                try {
                    bridge->dispose();
                } catch (const uno::Exception &) {
                }
            }
            lock.lock();
            // The call fails now; the next one is watched anew.
            m_wake.wait(lock, [&] { return m_stopping || m_depth == 0 || m_callNumber != callNumber; });
        }
    }

    void connect(std::string_view progId)
    {
        const auto unavailable = [progId](std::string_view why) {
            return AutomationError(AutomationErrorKind::System, createFailureText(why, progId),
                                   AutomationResult::OperationUnavailable);
        };
        OfficeConnection::keepClosedPipesFromEndingTheProgram();
        const std::string soffice = OfficeConnection::sofficeIn(OfficeConnection::programFolder());
        if (soffice.empty()) {
            throw unavailable("no soffice installation found");
        }
        // soffice listens on the pipe when it becomes the office. Where an office runs for the same
        // profile, soffice hands the pipe over to it and ends; otherwise it stays, as an office of
        // this program's making.
        const std::set<pid_t> before = ownOffices();
        std::vector<pid_t> sameProfile;
        for (const pid_t office : before) {
            if (profileOf(office) == ownProfile()) {
                sameProfile.push_back(office);
            }
        }
        // The office that this connection reached has gone, and none runs for the profile. One
        // started now would have no document open, so the send would fail anyway: it fails at once.
        if (m_lost && sameProfile.empty()) {
            throw unavailable("the office has ended");
        }
        // The office of the profile has just let a call run out of time in this send: soffice
        // would hand the pipe over to an office that does not answer.
        if (m_unanswered) {
            throw unavailable("the office does not answer");
        }
        const std::string pipe = OfficeConnection::uniquePipeName("sprelio_");
        if (!OfficeConnection::startDetached(soffice,
                                             {"--nologo", "--nodefault", "--norestore", "--nolockcheck",
                                              OfficeConnection::acceptArgument(pipe)})) {
            throw unavailable("soffice could not be started");
        }
        const auto start = std::chrono::steady_clock::now();
        OfficeConnection::Remote remote;
        try {
            // A stopped office takes no pipe over until it is continued.
            remote = OfficeConnection::connect(
                OfficeConnection::localContext(std::filesystem::path(soffice).parent_path().string()), pipe,
                start + (sameProfile.empty() ? StartLimit : HandOverLimit),
                [&] { return std::none_of(sameProfile.begin(), sameProfile.end(), isStopped); });
        } catch (const uno::Exception &error) {
            throw unavailable(toUtf8(error.Message));
        }
        {
            const std::lock_guard lock(m_watchMutex);
            m_bridge = remote.bridge;
            // The offices that answer this connection: the one of the profile, or the one just started.
            m_offices = sameProfile;
            if (m_offices.empty()) {
                for (const pid_t office : ownOffices()) {
                    if (!before.contains(office)) {
                        m_offices.push_back(office);
                    }
                }
            }
        }
        try {
            m_factory = call([&] { return remote.context->getServiceManager(); });
        } catch (const AutomationError &error) {
            drop();
            throw unavailable(error.what());
        }
        m_context = remote.context;
        m_lost = false;
        for (const pid_t office : ownOffices()) {
            if (!before.contains(office)) {
                m_started = office;
            }
        }
    }

    // Closes the connection; its objects fail from now on.
    void drop()
    {
        uno::Reference<lang::XComponent> bridge;
        {
            const std::lock_guard lock(m_watchMutex);
            bridge = std::exchange(m_bridge, {});
        }
        m_invocationFactory.clear();
        m_factory.clear();
        m_context.clear();
        if (bridge.is()) {
            try {
                bridge->dispose();
            } catch (const uno::Exception &) {
            }
        }
    }

    // A gone office shows as a disposed bridge at the first call through it.
    bool alive()
    {
        try {
            return call([&] { return m_context->getServiceManager().is(); });
        } catch (const AutomationError &) {
            return false;
        }
    }

    uno::Reference<uno::XComponentContext> m_context;
    uno::Reference<lang::XMultiComponentFactory> m_factory;
    uno::Reference<lang::XSingleServiceFactory> m_invocationFactory;
    // The office that connecting started, until a failed send has looked at it.
    pid_t m_started = 0;
    // Whether the office of the last connection went away, until a connection is made again.
    bool m_lost = false;

    // Shared with the watcher.
    std::mutex m_watchMutex;
    std::condition_variable m_wake;
    uno::Reference<lang::XComponent> m_bridge;
    // The office processes behind the bridge, looked at for being stopped while a call waits.
    std::vector<pid_t> m_offices;
    // Set when a call ran out of time, until the failed send has ended.
    std::atomic<bool> m_unanswered{false};
    unsigned m_depth = 0;
    unsigned m_callNumber = 0;
    std::chrono::steady_clock::time_point m_deadline;
    bool m_stopping = false;
    std::thread m_watcher;
};

class UnoObject final : public AutomationObject
{
public:
    // The SDK's Any has no move constructor outside LibreOffice itself, so the value is copied once.
    UnoObject(std::shared_ptr<UnoConnection> connection, const uno::Any &value)
        : m_connection(std::move(connection))
        , m_value(value)
    {}

    const uno::Any &value() const noexcept { return m_value; }

    AutomationValue get(std::string_view name, std::span<const AutomationArgument> args) override
    {
        const Member member = resolve(name);
        const uno::Sequence<uno::Any> arguments = toAnys(args);
        if (!member.method && !args.empty()) {
            throw AutomationError::memberNotSupported(name);
        }
        return fromAny(m_connection->call([&] {
            return member.method ? invoke(member.name, arguments) : m_invocation->getValue(member.name);
        }));
    }

    void call(std::string_view name, std::span<const AutomationArgument> args) override
    {
        static_cast<void>(get(name, args));
    }

    void put(std::string_view name, const AutomationArgument &value) override
    {
        const Member member = resolve(name);
        if (member.method) {
            throw AutomationError::memberNotSupported(name);
        }
        const uno::Any argument = toAny(value);
        m_connection->call([&] { m_invocation->setValue(member.name, argument); });
    }

    /// A value of a call's result: plain values as they are, everything else as an object.
    static AutomationValue fromAny(const std::shared_ptr<UnoConnection> &connection, const uno::Any &value);

private:
    AutomationValue fromAny(const uno::Any &value) const { return fromAny(m_connection, value); }

    struct Member
    {
        OUString name;
        bool method = false;
    };

    // The member as the object spells it. A name that does not resolve is never sent to the
    // office: calling it there can drop the whole connection.
    Member resolve(std::string_view name)
    {
        // Each question goes to the office and back; an object that is used more than once, like
        // the cursor of a send, asks only once for each name.
        const std::string key(name);
        if (const auto known = m_members.find(key); known != m_members.end()) {
            return known->second;
        }
        Member member = lookUp(name);
        m_members.emplace(key, member);
        return member;
    }

    Member lookUp(std::string_view name)
    {
        if (!m_invocation.is()) {
            m_invocation = m_connection->invocationOf(m_value);
            m_exactName = m_connection->call(
                [&] { return uno::Reference<beans::XExactName>(m_invocation, uno::UNO_QUERY); });
        }
        const OUString wanted = fromUtf8(name);
        Member member{m_exactName.is() ? m_connection->call([&] { return m_exactName->getExactName(wanted); })
                                       : wanted};
        if (member.name.isEmpty()) {
            throw AutomationError::memberNotSupported(name);
        }
        member.method = m_connection->call([&] { return m_invocation->hasMethod(member.name); });
        if (!member.method && !m_connection->call([&] { return m_invocation->hasProperty(member.name); })) {
            throw AutomationError::memberNotSupported(name);
        }
        return member;
    }

    uno::Any invoke(const OUString &member, const uno::Sequence<uno::Any> &arguments)
    {
        uno::Sequence<sal_Int16> outIndices;
        uno::Sequence<uno::Any> outValues;
        return m_invocation->invoke(member, arguments, outIndices, outValues);
    }

    static uno::Any toAny(const AutomationArgument &argument);

    static uno::Sequence<uno::Any> toAnys(std::span<const AutomationArgument> args)
    {
        uno::Sequence<uno::Any> anys(static_cast<sal_Int32>(args.size()));
        uno::Any *out = anys.getArray();
        for (const AutomationArgument &argument : args) {
            // UNO calls have no named arguments, so no such name is known.
            if (!argument.name.empty()) {
                throw AutomationError::memberNotSupported(argument.name);
            }
            *out++ = toAny(argument);
        }
        return anys;
    }

    std::shared_ptr<UnoConnection> m_connection;
    uno::Any m_value;
    uno::Reference<script::XInvocation> m_invocation;
    uno::Reference<beans::XExactName> m_exactName;
    std::map<std::string, Member> m_members;
};

uno::Any UnoObject::toAny(const AutomationArgument &argument)
{
    struct Convert
    {
        uno::Any operator()(std::monostate) const { return {}; }
        uno::Any operator()(AutomationNull) const { return uno::Any(uno::Reference<uno::XInterface>()); }
        uno::Any operator()(bool value) const { return uno::Any(value); }
        uno::Any operator()(std::int32_t value) const { return uno::Any(static_cast<sal_Int32>(value)); }
        uno::Any operator()(double value) const { return uno::Any(value); }
        uno::Any operator()(const std::string &value) const { return uno::Any(fromUtf8(value)); }
        uno::Any operator()(AutomationEmptyArray) const { return uno::Any(uno::Sequence<uno::Any>()); }
        uno::Any operator()(const AutomationObjectRef &object) const
        {
            // The office is given the object itself, never the wrapper that reaches it by name.
            const auto *unoObject = dynamic_cast<const UnoObject *>(object.get());
            if (unoObject == nullptr) {
                if (!object) {
                    return uno::Any(uno::Reference<uno::XInterface>());
                }
                throw AutomationError(AutomationErrorKind::System, "Type mismatch",
                                      AutomationResult::TypeMismatch);
            }
            return unoObject->value();
        }
    };
    return std::visit(Convert{}, argument.value.storage());
}

AutomationValue UnoObject::fromAny(const std::shared_ptr<UnoConnection> &connection, const uno::Any &value)
{
    const auto asObject = [&] { return AutomationValue(std::make_shared<UnoObject>(connection, value)); };
    switch (value.getValueTypeClass()) {
    case uno::TypeClass_VOID:
        return {};
    case uno::TypeClass_BOOLEAN:
        return value.get<bool>();
    case uno::TypeClass_BYTE:
    case uno::TypeClass_SHORT:
    case uno::TypeClass_UNSIGNED_SHORT:
    case uno::TypeClass_LONG:
        return static_cast<std::int32_t>(value.get<sal_Int32>());
    case uno::TypeClass_UNSIGNED_LONG:
    case uno::TypeClass_HYPER:
    case uno::TypeClass_UNSIGNED_HYPER: {
        const auto wide = value.get<sal_Int64>();
        if (wide >= std::numeric_limits<std::int32_t>::min() &&
            wide <= std::numeric_limits<std::int32_t>::max()) {
            return static_cast<std::int32_t>(wide);
        }
        return static_cast<double>(wide);
    }
    case uno::TypeClass_FLOAT:
    case uno::TypeClass_DOUBLE:
        return value.get<double>();
    case uno::TypeClass_CHAR:
        return toUtf8(OUString(*static_cast<const sal_Unicode *>(value.getValue())));
    case uno::TypeClass_STRING:
        return toUtf8(value.get<OUString>());
    case uno::TypeClass_INTERFACE:
        // An empty reference, such as the current component of an office without documents.
        if (!value.get<uno::Reference<uno::XInterface>>().is()) {
            return {};
        }
        return asObject();
    default:
        // Structs are read through the Invocation wrapper; enums and other values go back to
        // the office unchanged when they are passed on.
        return asObject();
    }
}

class UnoBridge final : public AutomationBridge
{
public:
    AutomationValue attach(std::string_view progId) override
    {
        requireServiceManager(progId);
        const uno::Reference<uno::XComponentContext> context = m_connection->openContext();
        if (!context.is()) {
            throw AutomationError(AutomationErrorKind::System, "Operation unavailable",
                                  AutomationResult::OperationUnavailable);
        }
        return serviceManager(context);
    }

    AutomationValue create(std::string_view progId) override
    {
        requireServiceManager(progId);
        return serviceManager(m_connection->context(progId));
    }

    void endUnusedStarted() override { m_connection->endUnusedStarted(); }
    void prepare() override { m_connection->prepare(); }

private:
    static void requireServiceManager(std::string_view progId)
    {
        if (progId != ServiceManagerProgId) {
            throw AutomationError(AutomationErrorKind::System,
                                  createFailureText("Invalid class string", progId),
                                  AutomationResult::InvalidClassString);
        }
    }

    AutomationValue serviceManager(const uno::Reference<uno::XComponentContext> &context) const
    {
        return UnoObject::fromAny(m_connection,
                                  m_connection->call([&] { return uno::Any(context->getServiceManager()); }));
    }

    std::shared_ptr<UnoConnection> m_connection = std::make_shared<UnoConnection>();
};

} // namespace

std::unique_ptr<AutomationBridge> createUnoBridge()
{
    return std::make_unique<UnoBridge>();
}

} // namespace Sprelio
