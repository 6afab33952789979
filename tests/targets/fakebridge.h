#pragma once

// A scripted Automation bridge for the send routines: every call is written to one log, together
// with what the host was asked to do, and the answers and failures come from a short script.
//
// Script lines, separated by ';':
//   running PROGID              attaching to PROGID works
//   installed PROGID            creating PROGID works
//   PATH = VALUE                a get of PATH answers VALUE: 10, 10.5, "text" or empty
//   PATH = VALUE then object    the first get answers VALUE, later ones an object
//   PATH fails system TEXT      every call of PATH fails with a system error
//   PATH fails member           every call of PATH fails: the member is not supported
// A PATH is the object's path and the member, for example Word.Selection.Font.Size. Objects are
// named by the path of the get that gave them, starting with the ProgID's first word.

#include "targets/automationroutines.h"

#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <optional>
#include <set>

class FakeBridge final : public Sprelio::AutomationBridge, public Sprelio::SendHost
{
public:
    explicit FakeBridge(const QString &script = {})
    {
        for (const QString &raw : script.split(u';', Qt::SkipEmptyParts)) {
            const QString line = raw.trimmed();
            if (line.isEmpty()) {
                continue;
            }
            if (line.startsWith(u"running ")) {
                m_running.insert(line.mid(8).toStdString());
            } else if (line.startsWith(u"installed ")) {
                m_installed.insert(line.mid(10).toStdString());
            } else if (const qsizetype eq = line.indexOf(u" = "); eq > 0) {
                QString value = line.mid(eq + 3);
                const bool once = value.endsWith(u" then object");
                if (once) {
                    value.chop(12);
                }
                m_answers[line.left(eq).toStdString()] = Answer{parseValue(value), once};
            } else if (const qsizetype at = line.indexOf(u" fails "); at > 0) {
                const QString how = line.mid(at + 7);
                m_faults.insert_or_assign(
                    line.left(at).toStdString(),
                    how == u"member" ? Fault{Sprelio::AutomationErrorKind::MemberNotSupported, {}}
                                     : Fault{Sprelio::AutomationErrorKind::System, how.mid(7).toStdString()});
            } else {
                qFatal("bad fake bridge script line: %s", qPrintable(line));
            }
        }
    }

    /// The calls (and the host's events) so far, one line each.
    QStringList log;

    /// Makes the call with this index among the calls (not the host events) fail with a system
    /// error "refused", or as not supported.
    void injectFault(int callIndex, Sprelio::AutomationErrorKind kind)
    {
        m_injectAt = callIndex;
        m_injectKind = kind;
    }

    Sprelio::AutomationValue attach(std::string_view progId) override
    {
        enter("attach " + qs(progId), std::string(progId), !m_running.contains(std::string(progId)));
        return root(progId);
    }

    Sprelio::AutomationValue create(std::string_view progId) override
    {
        enter("create " + qs(progId), std::string(progId), !m_installed.contains(std::string(progId)));
        return root(progId);
    }

    void CopyEditToClipboard(int pointSize) override { log << QStringLiteral("copy %1").arg(pointSize); }
    void bringToFront() override { log << QStringLiteral("front"); }
    void MessageInfo(std::uint16_t stringId) override { log << QStringLiteral("info %1").arg(stringId); }

    /// Runs a routine and logs how it ended: "ok", "error ID" and the suffix, or "error TEXT" for a
    /// bridge error that left the routine unchanged.
    void run(void (*routine)(Sprelio::AutomationBridge &, Sprelio::SendHost &,
                             const Sprelio::RoutineInputs &),
             const Sprelio::RoutineInputs &inputs = {})
    {
        try {
            routine(*this, *this, inputs);
            log << QStringLiteral("ok");
        } catch (const Sprelio::RoutineError &error) {
            log << QStringLiteral("error %1").arg(error.stringId()) + QString::fromStdString(error.suffix());
        } catch (const Sprelio::AutomationError &error) {
            log << QStringLiteral("error ") + QString::fromStdString(error.what());
        }
    }

    static QString describe(const Sprelio::AutomationArgument &arg)
    {
        using Kind = Sprelio::AutomationArgument::Kind;
        QString text;
        switch (arg.kind) {
        case Kind::Int32ByRef:
        case Kind::StringByRef:
        case Kind::VariantByRef:
            text = QStringLiteral("&");
            break;
        default:
            break;
        }
        if (arg.kind == Kind::Variant || arg.kind == Kind::VariantByRef) {
            text += QStringLiteral("var ");
        }
        text += describe(arg.value);
        return arg.name.empty() ? text : QString::fromStdString(arg.name) + QStringLiteral(":=") + text;
    }

private:
    struct Answer
    {
        Sprelio::AutomationValue value;
        bool once = false;
    };

    struct Fault
    {
        Sprelio::AutomationErrorKind kind;
        std::string message;
    };

    class Object final : public Sprelio::AutomationObject
    {
    public:
        Object(FakeBridge &bridge, std::string path)
            : m_bridge(bridge)
            , m_path(std::move(path))
        {}

        const std::string &path() const { return m_path; }

        Sprelio::AutomationValue get(std::string_view name,
                                     std::span<const Sprelio::AutomationArgument> args) override
        {
            const std::string member = m_path + "." + std::string(name);
            m_bridge.enter("get " + qs(member) + (args.empty() ? QString() : arguments(args)),
                           std::string(name), false, member);
            if (const auto it = m_bridge.m_answers.find(member); it != m_bridge.m_answers.end()) {
                const Sprelio::AutomationValue answer = it->second.value;
                if (it->second.once) {
                    m_bridge.m_answers.erase(it);
                }
                return answer;
            }
            return Sprelio::AutomationObjectRef(std::make_shared<Object>(m_bridge, member));
        }

        void call(std::string_view name, std::span<const Sprelio::AutomationArgument> args) override
        {
            const std::string member = m_path + "." + std::string(name);
            m_bridge.enter("call " + qs(member) + arguments(args), std::string(name), false, member);
        }

        void put(std::string_view name, const Sprelio::AutomationArgument &value) override
        {
            const std::string member = m_path + "." + std::string(name);
            m_bridge.enter("put " + qs(member) + " = " + describe(value), std::string(name), false, member);
        }

    private:
        static QString arguments(std::span<const Sprelio::AutomationArgument> args)
        {
            QStringList parts;
            for (const Sprelio::AutomationArgument &arg : args) {
                parts << describe(arg);
            }
            return u'(' + parts.join(QStringLiteral(", ")) + u')';
        }

        FakeBridge &m_bridge;
        std::string m_path;
    };

    static QString qs(std::string_view text)
    {
        return QString::fromUtf8(text.data(), qsizetype(text.size()));
    }

    static QString describe(const Sprelio::AutomationValue &value)
    {
        const auto &v = value.storage();
        if (const auto *b = std::get_if<bool>(&v)) {
            return *b ? QStringLiteral("true") : QStringLiteral("false");
        }
        if (const auto *i = std::get_if<std::int32_t>(&v)) {
            return QString::number(*i);
        }
        if (const auto *d = std::get_if<double>(&v)) {
            return QString::number(*d);
        }
        if (const auto *s = std::get_if<std::string>(&v)) {
            return u'"' + QString::fromStdString(*s) + u'"';
        }
        if (const auto *o = std::get_if<Sprelio::AutomationObjectRef>(&v)) {
            const auto *object = dynamic_cast<const Object *>(o->get());
            return object != nullptr ? QString::fromStdString(object->path()) : QStringLiteral("null");
        }
        if (std::holds_alternative<Sprelio::AutomationEmptyArray>(v)) {
            return QStringLiteral("[]");
        }
        return QStringLiteral("empty");
    }

    static Sprelio::AutomationValue parseValue(const QString &text)
    {
        if (text == u"empty") {
            return {};
        }
        if (text.startsWith(u'"')) {
            return text.mid(1, text.size() - 2).toStdString();
        }
        if (text.contains(u'.')) {
            return text.toDouble();
        }
        return std::int32_t{text.toInt()};
    }

    Sprelio::AutomationValue root(std::string_view progId)
    {
        const std::string name(progId.substr(0, progId.find('.')));
        return Sprelio::AutomationObjectRef(std::make_shared<Object>(*this, name));
    }

    // Logs one call and throws its failure, if it has one.
    void enter(const QString &line, const std::string &member, bool unavailable, const std::string &path = {})
    {
        const int index = m_calls++;
        std::optional<Fault> fault;
        if (unavailable) {
            fault = Fault{Sprelio::AutomationErrorKind::System, "unavailable"};
        }
        if (const auto it = m_faults.find(path); !path.empty() && it != m_faults.end()) {
            fault = it->second;
        }
        if (index == m_injectAt) {
            fault = Fault{m_injectKind, "refused"};
        }
        if (!fault) {
            log << line;
            return;
        }
        log << line + QStringLiteral(" -> fails");
        if (fault->kind == Sprelio::AutomationErrorKind::MemberNotSupported) {
            throw Sprelio::AutomationError::memberNotSupported(member);
        }
        throw Sprelio::AutomationError(fault->kind, fault->message);
    }

    std::set<std::string> m_running;
    std::set<std::string> m_installed;
    std::map<std::string, Answer> m_answers;
    std::map<std::string, Fault> m_faults;
    int m_calls = 0;
    int m_injectAt = -1;
    Sprelio::AutomationErrorKind m_injectKind = Sprelio::AutomationErrorKind::System;
};
