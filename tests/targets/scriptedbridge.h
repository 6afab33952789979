#pragma once

// A bridge whose objects answer from a script and write every call, and every call back into the
// program, to one log. A scripted call can be made to fail.

#include "targets/automation.h"
#include "targets/automationroutines.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace Sprelio::Testing {

/// The log and the script that every object of one bridge shares.
struct Script
{
    /// Answers by "Object.member" or, more precisely, by the whole call as it is logged. A string
    /// that starts with '@' answers with the object of that name.
    std::map<std::string, AutomationValue> answers;
    /// Calls as logged without their kind (or "Object.member") that fail with a system error.
    std::set<std::string> failing;
    std::vector<std::string> log;
};

inline std::string describe(const AutomationArgument &argument)
{
    using Kind = AutomationArgument::Kind;
    const bool byRef = argument.kind == Kind::Int32ByRef || argument.kind == Kind::StringByRef ||
                       argument.kind == Kind::VariantByRef;
    std::string text = byRef ? "&" : "";
    struct Show
    {
        std::string operator()(std::monostate) const { return "empty"; }
        std::string operator()(AutomationNull) const { return "null"; }
        std::string operator()(bool b) const { return b ? "true" : "false"; }
        std::string operator()(std::int32_t i) const { return std::to_string(i); }
        std::string operator()(double d) const { return std::to_string(d); }
        std::string operator()(const std::string &s) const { return '"' + s + '"'; }
        std::string operator()(AutomationEmptyArray) const { return "[]"; }
        std::string operator()(const AutomationObjectRef &) const { return "object"; }
    };
    return text + std::visit(Show{}, argument.value.storage());
}

class ScriptedObject final : public AutomationObject
{
public:
    ScriptedObject(std::shared_ptr<Script> script, std::string name)
        : m_script(std::move(script))
        , m_name(std::move(name))
    {}

    const std::string &name() const { return m_name; }

    AutomationValue get(std::string_view member, std::span<const AutomationArgument> args) override
    {
        return answer("get", member, args);
    }
    void call(std::string_view member, std::span<const AutomationArgument> args) override
    {
        answer("call", member, args);
    }
    void put(std::string_view member, const AutomationArgument &value) override
    {
        answer("put", member, std::span(&value, 1));
    }

private:
    AutomationValue answer(const char *kind, std::string_view member,
                           std::span<const AutomationArgument> args)
    {
        const std::string key = m_name + '.' + std::string(member);
        std::string line = std::string(kind) + ' ' + key + '(';
        for (std::size_t i = 0; i < args.size(); ++i) {
            line += (i > 0 ? ", " : "") + argumentText(args[i]);
        }
        line += ')';
        m_script->log.push_back(line);
        const std::string call = line.substr(line.find(' ') + 1);
        if (m_script->failing.contains(call) || m_script->failing.contains(key)) {
            throw AutomationError(AutomationErrorKind::System, "scripted failure", -1);
        }
        auto found = m_script->answers.find(call);
        if (found == m_script->answers.end()) {
            found = m_script->answers.find(key);
        }
        if (found == m_script->answers.end()) {
            throw AutomationError::memberNotSupported(member);
        }
        const auto *text = std::get_if<std::string>(&found->second.storage());
        if (text != nullptr && text->starts_with('@')) {
            return AutomationObjectRef(std::make_shared<ScriptedObject>(m_script, text->substr(1)));
        }
        return found->second;
    }

    static std::string argumentText(const AutomationArgument &argument)
    {
        if (const AutomationObject *object = argument.value.object()) {
            const auto *scripted = dynamic_cast<const ScriptedObject *>(object);
            return std::string(argument.kind == AutomationArgument::Kind::VariantByRef ? "&" : "") +
                   (scripted != nullptr ? scripted->name() : "?");
        }
        return describe(argument);
    }

    std::shared_ptr<Script> m_script;
    std::string m_name;
};

/// A bridge that knows the ProgIDs with an answer "create <ProgID>" in the script; each gives
/// the object named there.
class ScriptedBridge final : public AutomationBridge
{
public:
    explicit ScriptedBridge(std::shared_ptr<Script> script)
        : m_script(std::move(script))
    {}

    AutomationValue attach(std::string_view progId) override { return open("attach", progId); }
    AutomationValue create(std::string_view progId) override { return open("create", progId); }

private:
    AutomationValue open(const std::string &kind, std::string_view progId)
    {
        const std::string line = kind + ' ' + std::string(progId);
        m_script->log.push_back(line);
        const auto found = m_script->answers.find(line);
        if (m_script->failing.contains(line) || found == m_script->answers.end()) {
            throw AutomationError(AutomationErrorKind::System, createFailureText("scripted failure", progId),
                                  -1);
        }
        const auto &name = std::get<std::string>(found->second.storage());
        return AutomationObjectRef(std::make_shared<ScriptedObject>(m_script, name.substr(1)));
    }

    std::shared_ptr<Script> m_script;
};

/// A host that writes its calls to the script's log.
class LoggingHost final : public SendHost
{
public:
    explicit LoggingHost(std::shared_ptr<Script> script)
        : m_script(std::move(script))
    {}

    void CopyEditToClipboard(int pointSize) override
    {
        m_script->log.push_back("CopyEditToClipboard(" + std::to_string(pointSize) + ')');
    }
    void bringToFront() override { m_script->log.push_back("bringToFront"); }
    void MessageInfo(std::uint16_t stringId) override
    {
        m_script->log.push_back("MessageInfo(" + std::to_string(stringId) + ')');
    }

private:
    std::shared_ptr<Script> m_script;
};

} // namespace Sprelio::Testing
