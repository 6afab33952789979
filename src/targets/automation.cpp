#include "targets/automation.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace Sprelio {

namespace {

[[noreturn]] void throwTypeMismatch()
{
    throw AutomationError(AutomationErrorKind::System, "Type mismatch", AutomationResult::TypeMismatch);
}

std::int32_t stringToInteger(const std::string &text)
{
    const char *begin = text.c_str();
    char *end = nullptr;
    errno = 0;
    const double value = std::strtod(begin, &end);
    while (end != nullptr && (*end == ' ' || *end == '\t')) {
        ++end;
    }
    if (end == begin || end == nullptr || *end != '\0' || errno == ERANGE) {
        throwTypeMismatch();
    }
    return roundHalfEven(value);
}

void checkArgumentCount(std::size_t count)
{
    if (count > MaxAutomationArguments) {
        throw AutomationError(AutomationErrorKind::TooManyArguments,
                              "Too many parameters: at most " + std::to_string(MaxAutomationArguments));
    }
}

} // namespace

AutomationError::AutomationError(AutomationErrorKind kind, const std::string &message,
                                 std::int32_t resultCode)
    : std::runtime_error(message)
    , m_kind(kind)
    , m_resultCode(resultCode)
{}

AutomationError AutomationError::memberNotSupported(std::string_view member)
{
    return AutomationError(AutomationErrorKind::MemberNotSupported,
                           "Method '" + std::string(member) + "' not supported by automation object");
}

std::int32_t roundHalfEven(double x)
{
    if (!std::isfinite(x)) {
        throw AutomationError(AutomationErrorKind::System, "Overflow", AutomationResult::Overflow);
    }
    double whole = std::floor(x);
    const double fraction = x - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) {
        whole += 1.0;
    }
    if (whole < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
        whole > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        throw AutomationError(AutomationErrorKind::System, "Overflow", AutomationResult::Overflow);
    }
    return static_cast<std::int32_t>(whole);
}

std::string createFailureText(std::string_view systemMessage, std::string_view progId)
{
    std::string text(systemMessage);
    text += ", ProgID: \"";
    text += progId;
    text += '"';
    return text;
}

bool AutomationValue::isEmpty() const noexcept
{
    if (std::holds_alternative<std::monostate>(m_storage)) {
        return true;
    }
    const auto *object = std::get_if<AutomationObjectRef>(&m_storage);
    return object != nullptr && !*object;
}

AutomationObject *AutomationValue::object() const noexcept
{
    const auto *object = std::get_if<AutomationObjectRef>(&m_storage);
    return object != nullptr ? object->get() : nullptr;
}

std::int32_t AutomationValue::toInteger() const
{
    // The conversions of an Automation variant to a 4-byte integer: empty counts as 0, and
    // true as -1.
    struct Convert
    {
        std::int32_t operator()(std::monostate) const { return 0; }
        std::int32_t operator()(AutomationNull) const { throwTypeMismatch(); }
        std::int32_t operator()(bool b) const { return b ? -1 : 0; }
        std::int32_t operator()(std::int32_t i) const { return i; }
        std::int32_t operator()(double d) const { return roundHalfEven(d); }
        std::int32_t operator()(const std::string &s) const { return stringToInteger(s); }
        std::int32_t operator()(const AutomationObjectRef &) const { throwTypeMismatch(); }
        std::int32_t operator()(AutomationEmptyArray) const { throwTypeMismatch(); }
    };
    return std::visit(Convert{}, m_storage);
}

AutomationObject &AutomationValue::requireObject() const
{
    AutomationObject *target = object();
    if (target == nullptr) {
        throw AutomationError(AutomationErrorKind::NotAnObject,
                              "Variant does not reference an automation object");
    }
    return *target;
}

AutomationValue AutomationValue::get(std::string_view name, const AutomationArguments &args) const
{
    AutomationObject &target = requireObject();
    checkArgumentCount(args.size());
    return target.get(name, args);
}

void AutomationValue::call(std::string_view name, const AutomationArguments &args) const
{
    AutomationObject &target = requireObject();
    checkArgumentCount(args.size());
    target.call(name, args);
}

void AutomationValue::put(std::string_view name, const AutomationArgument &value) const
{
    requireObject().put(name, value);
}

} // namespace Sprelio
