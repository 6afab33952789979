#pragma once

// Late-bound calls into other applications by member name. Plain C++ without Qt, so that the
// Windows build of the send routines needs nothing but the compiler and the system's COM.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace Sprelio {

/// How an Automation call failed; callers tell these apart.
enum class AutomationErrorKind {
    MemberNotSupported, ///< the object does not know the member's (or a named argument's) name
    System,             ///< any other failure of the call, or the application's own exception
    NotAnObject,        ///< a member was called on a result that is not an object
    TooManyArguments,   ///< more than MaxAutomationArguments arguments
};

/// A failed Automation call; what() is the text that follows a routine's own message.
class AutomationError final : public std::runtime_error
{
public:
    AutomationError(AutomationErrorKind kind, const std::string &message, std::int32_t resultCode = 0);

    /// The error for a member name that the object does not know.
    static AutomationError memberNotSupported(std::string_view member);

    AutomationErrorKind kind() const noexcept { return m_kind; }
    /// The system's result code (an HRESULT on Windows), 0 where there is none.
    std::int32_t resultCode() const noexcept { return m_resultCode; }

private:
    AutomationErrorKind m_kind;
    std::int32_t m_resultCode;
};

/// Result codes that more than one backend reports.
namespace AutomationResult {
inline constexpr std::int32_t TypeMismatch = static_cast<std::int32_t>(0x80020005U);
inline constexpr std::int32_t Overflow = static_cast<std::int32_t>(0x8002000AU);
inline constexpr std::int32_t InvalidClassString = static_cast<std::int32_t>(0x800401F3U);
inline constexpr std::int32_t OperationUnavailable = static_cast<std::int32_t>(0x800401E3U);
} // namespace AutomationResult

/// At most this many arguments go with one call.
inline constexpr std::size_t MaxAutomationArguments = 64;

class AutomationObject;
class AutomationValue;
struct AutomationArgument;
using AutomationArguments = std::vector<AutomationArgument>;

/// A reference to an object of another application, released when the last copy goes.
using AutomationObjectRef = std::shared_ptr<AutomationObject>;

/// The empty array of variants (bounds 0 to -1).
struct AutomationEmptyArray
{
    friend bool operator==(AutomationEmptyArray, AutomationEmptyArray) = default;
};

/// The null value, which is not empty.
struct AutomationNull
{
    friend bool operator==(AutomationNull, AutomationNull) = default;
};

/// A variant: what a call returns, and the value that an argument carries. Strings are UTF-8.
class AutomationValue
{
public:
    using Storage = std::variant<std::monostate, AutomationNull, bool, std::int32_t, double, std::string,
                                 AutomationObjectRef, AutomationEmptyArray>;

    /// The empty value.
    AutomationValue() = default;
    /// A value of any of the storage's types; a variant is its value, so this converts implicitly.
    // The constraint keeps it from hiding the copy and move constructors.
    template <typename T>
    requires(std::is_constructible_v<Storage, T> && !std::is_same_v<std::remove_cvref_t<T>, AutomationValue>)
        // NOLINTNEXTLINE(google-explicit-constructor,bugprone-forwarding-reference-overload)
        AutomationValue(T &&value)
        : m_storage(std::forward<T>(value))
    {}

    const Storage &storage() const noexcept { return m_storage; }

    /// True for the empty value and for a null object reference.
    bool isEmpty() const noexcept;
    /// The object this value refers to, or null when it is no object.
    AutomationObject *object() const noexcept;
    /// The value as a 32-bit integer, halves rounded to the even neighbour; throws AutomationError
    /// (System) when it has no integer value.
    std::int32_t toInteger() const;

    /// Reads a property, or calls a method for its result when arguments are given.
    AutomationValue get(std::string_view name) const;
    AutomationValue get(std::string_view name, const AutomationArguments &args) const;
    /// Calls a method and drops its result.
    void call(std::string_view name) const;
    void call(std::string_view name, const AutomationArguments &args) const;
    /// Sets a property; an object value is put by reference.
    void put(std::string_view name, const AutomationArgument &value) const;

    friend bool operator==(const AutomationValue &, const AutomationValue &) = default;

private:
    AutomationObject &requireObject() const;

    Storage m_storage;
};

/// One argument of a call: its kind on the wire, its value and, for a named argument, its name.
struct AutomationArgument
{
    enum class Kind {
        Int32,
        Int32ByRef,
        Bool, ///< true goes as -1
        String,
        StringByRef,
        Variant,
        VariantByRef,
    };

    Kind kind = Kind::Variant;
    AutomationValue value;
    std::string name; ///< empty for a positional argument

    static AutomationArgument int32(std::int32_t v) { return {Kind::Int32, v, {}}; }
    static AutomationArgument int32ByRef(std::int32_t v) { return {Kind::Int32ByRef, v, {}}; }
    static AutomationArgument boolean(bool v) { return {Kind::Bool, v, {}}; }
    static AutomationArgument string(std::string v) { return {Kind::String, std::move(v), {}}; }
    static AutomationArgument stringByRef(std::string v) { return {Kind::StringByRef, std::move(v), {}}; }
    static AutomationArgument variant(AutomationValue v) { return {Kind::Variant, std::move(v), {}}; }
    static AutomationArgument variantByRef(AutomationValue v)
    {
        return {Kind::VariantByRef, std::move(v), {}};
    }

    /// The same argument passed by name.
    AutomationArgument named(std::string argumentName) const
    {
        AutomationArgument copy = *this;
        copy.name = std::move(argumentName);
        return copy;
    }

    friend bool operator==(const AutomationArgument &, const AutomationArgument &) = default;
};

/// An object of another application. Backends implement it; callers go through AutomationValue,
/// which checks the argument count first. Named arguments follow the positional ones.
class AutomationObject
{
public:
    virtual ~AutomationObject() = default;

    virtual AutomationValue get(std::string_view name, std::span<const AutomationArgument> args) = 0;
    virtual void call(std::string_view name, std::span<const AutomationArgument> args) = 0;
    virtual void put(std::string_view name, const AutomationArgument &value) = 0;
};

/// Reaches applications by ProgID. Both operations throw AutomationError on failure.
class AutomationBridge
{
public:
    virtual ~AutomationBridge() = default;

    /// The running application's object; fails when it is not running.
    virtual AutomationValue attach(std::string_view progId) = 0;
    /// Starts the application (in-process or local server) and returns its object. The error
    /// text is the system's message, then ", ProgID: " and the ProgID in double quotes.
    virtual AutomationValue create(std::string_view progId) = 0;
    /// A send through this bridge has failed: ends an application that the bridge started for it
    /// and that shows the user nothing, so that no hidden application is left running.
    virtual void endUnusedStarted() {}
    /// Connects ahead, off the calling thread, to an application that already runs, so that the
    /// first send is as quick as the later ones. Starts nothing.
    virtual void prepare() {}
};

/// Makes the thread that creates it ready for Automation calls until it is destroyed (COM's
/// CoInitialize on Windows; nothing elsewhere). The main window holds one on the UI thread.
class AutomationThread final
{
public:
    AutomationThread();
    ~AutomationThread();
    AutomationThread(const AutomationThread &) = delete;
    AutomationThread &operator=(const AutomationThread &) = delete;

private:
    [[maybe_unused]] bool m_initialized = false;
};

/// The bridge to Word, Excel and PowerPoint on this platform: COM on Windows; elsewhere none of
/// them is installed, so attaching and creating always fail.
std::unique_ptr<AutomationBridge> createPlatformBridge();

/// The bridge to the office suite's service manager on this platform.
std::unique_ptr<AutomationBridge> createOfficeBridge();

/// The text of a create failure: the system message, then ", ProgID: " and the quoted ProgID.
std::string createFailureText(std::string_view systemMessage, std::string_view progId);

/// x rounded to the nearest integer, halves to the even one; throws AutomationError (System)
/// when the result does not fit into 32 bits.
std::int32_t roundHalfEven(double x);

} // namespace Sprelio
