#include "targets/bridgedtargets.h"

#include "i18n/langstr.h"
#include "targets/offthreadsend.h"

#include <QLoggingCategory>

namespace Sprelio {

namespace {

Q_LOGGING_CATEGORY(lcSend, "sprelio.send")

using Routine = void (*)(AutomationBridge &, SendHost &, const RoutineInputs &);

void run(Routine routine, AutomationBridge &bridge, const SendInputs &inputs, SendHost &host)
{
    const RoutineInputs plain{inputs.text.toStdString(), inputs.faceName.toStdString(), inputs.bold,
                              inputs.italic};
    try {
        routine(bridge, host, plain);
    } catch (const RoutineError &error) {
        // The message tells the user what to do; the log keeps the call that failed.
        if (!error.cause().empty()) {
            qCWarning(lcSend, "%s", error.cause().c_str());
        }
        throw SendError(routineErrorText(error));
    } catch (const AutomationError &error) {
        throw SendError(QString::fromStdString(error.what()));
    }
}

} // namespace

BridgedTargets::BridgedTargets(std::unique_ptr<AutomationBridge> applications,
                               std::unique_ptr<AutomationBridge> office)
    : m_applications(std::move(applications))
    , m_office(std::move(office))
{}

void BridgedTargets::SendToWord(const SendInputs &inputs, SendHost &host)
{
    run(&Sprelio::SendToWord, *m_applications, inputs, host);
}

void BridgedTargets::SendToExcel(const SendInputs &inputs, SendHost &host)
{
    run(&Sprelio::SendToExcel, *m_applications, inputs, host);
}

void BridgedTargets::SendToPowerPoint(const SendInputs &inputs, SendHost &host)
{
    run(&Sprelio::SendToPowerPoint, *m_applications, inputs, host);
}

void BridgedTargets::SendToOpenOffice(const SendInputs &inputs, SendHost &host)
{
    // The office asks this program for the clipboard while it pastes, so the window's thread
    // must keep answering while the calls wait for the office.
    runOffThread(
        [&](SendHost &threadHost) {
            try {
                run(&Sprelio::SendToOpenOffice, *m_office, inputs, threadHost);
            } catch (...) {
                m_office->endUnusedStarted();
                throw;
            }
        },
        host);
}

QString routineErrorText(const RoutineError &error)
{
    return LangStr(error.stringId()) + QString::fromStdString(error.suffix());
}

} // namespace Sprelio
