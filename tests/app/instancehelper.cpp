// Claims an instance key the way the program does at start-up, so that tests can run real second
// processes against it. It reports on standard output, one line each:
//   "secondary"            another process holds the key; this one ends with 0 and shows nothing
//   "primary"              this process holds the key and shows a window titled with the key
//   "activated [token]"    a later start asked for the window; the token is the one it passed on
//   "locked"               --crash-holding-lock took the claim lock
// The primary quits cleanly when its standard input closes.
//
// Usage: instancehelper <key> [--crash-after-claim | --crash-holding-lock | --claim-at <ms>]
//   --crash-after-claim    ends abruptly right after claiming, leaving its socket behind
//   --crash-holding-lock   ends abruptly while holding the claim lock
//   --claim-at <ms>        claims at that time (milliseconds since the epoch), so that several
//                          helpers started one after another claim at the same moment

#include "app/claimlock.h"
#include "app/singleinstance.h"

#include <QApplication>
#include <QDateTime>
#include <QSocketNotifier>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <thread>
#include <unistd.h>

namespace {

void say(const QByteArray &line)
{
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 2)
        return 2;
    const QString key = arguments.at(1);
    const QString mode = arguments.value(2);

    Sprelio::SingleInstance instance(key);
    if (mode == QLatin1String("--crash-holding-lock")) {
        Sprelio::ClaimLock lock(instance.lockFileName());
        if (!lock.lock(std::chrono::milliseconds(0)))
            return 2;
        say("locked");
        std::_Exit(3);
    }

    if (mode == QLatin1String("--claim-at")) {
        const qint64 wait = arguments.value(3).toLongLong() - QDateTime::currentMSecsSinceEpoch();
        if (wait > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(wait));
    }

    if (!instance.claim()) {
        say("secondary");
        return 0;
    }
    if (mode == QLatin1String("--crash-after-claim")) {
        say("primary");
        std::_Exit(3);
    }

    QWidget window;
    window.setWindowTitle(key);
    window.resize(240, 120);
    QObject::connect(&instance, &Sprelio::SingleInstance::activationRequested, &window, [&window] {
        Sprelio::activateInstanceWindow(&window);
        const QByteArray token = qgetenv("XDG_ACTIVATION_TOKEN");
        say(token.isEmpty() ? QByteArray("activated") : "activated " + token);
    });

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&input] {
        char buffer[64];
        if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0) {
            input.setEnabled(false);
            QApplication::quit();
        }
    });

    window.show();
    say("primary");
    return QApplication::exec();
}
