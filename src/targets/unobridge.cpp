#include "targets/unobridge.h"

#include <com/sun/star/beans/XExactName.hpp>
#include <com/sun/star/frame/XDesktop.hpp>
#include <com/sun/star/frame/XFrames.hpp>
#include <com/sun/star/frame/XFramesSupplier.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/lang/XSingleServiceFactory.hpp>
#include <com/sun/star/reflection/InvocationTargetException.hpp>
#include <com/sun/star/script/XInvocation.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <cppuhelper/bootstrap.hxx>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <set>
#include <thread>
#include <utility>

#include <pthread.h>
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

std::string toUtf8(const OUString &text)
{
    const rtl::OString bytes = rtl::OUStringToOString(text, RTL_TEXTENCODING_UTF8);
    return std::string(bytes.getStr(), static_cast<std::size_t>(bytes.getLength()));
}

OUString fromUtf8(std::string_view text)
{
    return OUString(text.data(), static_cast<sal_Int32>(text.size()), RTL_TEXTENCODING_UTF8);
}

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

// The office's libraries write to their pipe without asking the kernel to spare the process when the
// other end has gone: an office that ends while it is being connected to, or during a send, would end
// the program with SIGPIPE. Blocked in the thread that connects, and so in the threads that the
// connection starts from it, the signal stays pending and the write fails, which the send reports.
void keepClosedPipesFromEndingTheProgram()
{
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
}

// Whether process pid is an office of this user.
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
    return name == "soffice.bin";
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

// The office's component context behind the service manager: one connection over a local pipe,
// kept between sends because making it takes half a second.
class UnoConnection
{
public:
    uno::Reference<uno::XComponentContext> context(std::string_view progId)
    {
        if (m_context.is() && !alive()) {
            m_context.clear();
            m_factory.clear();
            m_invocationFactory.clear();
        }
        if (!m_context.is()) {
            keepClosedPipesFromEndingTheProgram();
            try {
                // Connecting starts an office. Where one runs for the same profile, the new one hands
                // over to it and ends; otherwise it stays, as an office of this program's making.
                const std::set<pid_t> before = ownOffices();
                uno::Reference<uno::XComponentContext> context = cppu::bootstrap();
                m_factory = context->getServiceManager();
                m_context = context;
                for (const pid_t office : ownOffices()) {
                    if (!before.contains(office)) {
                        m_started = office;
                    }
                }
            } catch (const cppu::BootstrapException &error) {
                throw AutomationError(AutomationErrorKind::System,
                                      createFailureText(toUtf8(error.getMessage()), progId),
                                      AutomationResult::OperationUnavailable);
            } catch (const uno::Exception &error) {
                throw AutomationError(AutomationErrorKind::System,
                                      createFailureText(toUtf8(error.Message), progId),
                                      AutomationResult::OperationUnavailable);
            }
        }
        return m_context;
    }

    /// The context when a connection is open and the office still answers; null otherwise.
    uno::Reference<uno::XComponentContext> openContext()
    {
        if (m_context.is() && !alive()) {
            m_context.clear();
            m_factory.clear();
            m_invocationFactory.clear();
        }
        return m_context;
    }

    /// Connects to an office that runs for the profile that this program would use, so that
    /// connecting does not start an office of its own; errors are left to the next send.
    void prepare()
    {
        if (openContext().is()) {
            return;
        }
        const char *ownProfile = std::getenv("UserInstallation");
        for (const pid_t office : ownOffices()) {
            if (profileOf(office) == (ownProfile != nullptr ? ownProfile : "")) {
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
        const pid_t office = std::exchange(m_started, 0);
        if (office == 0 || !isOwnOffice(office) || !openContext().is()) {
            return;
        }
        try {
            const uno::Reference<frame::XFramesSupplier> frames(
                m_factory->createInstanceWithContext(OUString("com.sun.star.frame.Desktop"), m_context),
                uno::UNO_QUERY_THROW);
            if (frames->getFrames()->getCount() > 0) {
                return;
            }
            const uno::Reference<frame::XDesktop> desktop(frames, uno::UNO_QUERY_THROW);
            desktop->terminate();
        } catch (const uno::Exception &) {
            // Gone or stuck: the signal below ends it.
        }
        m_context.clear();
        m_factory.clear();
        m_invocationFactory.clear();
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
        return translated([&] {
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
    // A gone office shows as a disposed bridge at the first call through it.
    bool alive()
    {
        try {
            return m_context->getServiceManager().is();
        } catch (const uno::Exception &) {
            return false;
        }
    }

    uno::Reference<uno::XComponentContext> m_context;
    uno::Reference<lang::XMultiComponentFactory> m_factory;
    uno::Reference<lang::XSingleServiceFactory> m_invocationFactory;
    // The office that connecting started, until a failed send has looked at it.
    pid_t m_started = 0;
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
        return fromAny(translated([&] {
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
        translated([&] { m_invocation->setValue(member.name, argument); });
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
            m_exactName.set(m_invocation, uno::UNO_QUERY);
        }
        const OUString wanted = fromUtf8(name);
        Member member{m_exactName.is() ? translated([&] { return m_exactName->getExactName(wanted); })
                                       : wanted};
        if (member.name.isEmpty()) {
            throw AutomationError::memberNotSupported(name);
        }
        member.method = translated([&] { return m_invocation->hasMethod(member.name); });
        if (!member.method && !translated([&] { return m_invocation->hasProperty(member.name); })) {
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
                                  translated([&] { return uno::Any(context->getServiceManager()); }));
    }

    std::shared_ptr<UnoConnection> m_connection = std::make_shared<UnoConnection>();
};

} // namespace

std::unique_ptr<AutomationBridge> createUnoBridge()
{
    return std::make_unique<UnoBridge>();
}

} // namespace Sprelio
