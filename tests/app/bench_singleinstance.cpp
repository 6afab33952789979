// Measures how fast simultaneous starts settle on one instance. It starts ten processes at once,
// checks that exactly one keeps running, and reports the time from the last start to the moment
// only that one is left. It asserts nothing about speed.
//
// Usage: bench_singleinstance [rounds] [program]
//   Without a program, the single-instance test helper is started; all ten claim at one common
//   moment. With a program (the real sprelio, for example), its own start-up is measured too.
//   Run it on a display (xvfb-run -a).

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int Starts = 10;
constexpr int SettleLimitMs = 60000;

struct Round
{
    bool oneLeft = false;
    qint64 lastStartToOneLeftMs = -1;
};

Round runRound(const QString &program, bool helper, int round)
{
    QTemporaryDir runtime;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());

    QElapsedTimer clock;
    clock.start();
    const qint64 epochAtStart = QDateTime::currentMSecsSinceEpoch();
    // The helper processes wait for this moment, so that their claims meet; the real program has
    // no such wait and decides as soon as it has started.
    const qint64 claimAtMs = 1000;
    QStringList arguments;
    if (helper) {
        arguments = {QStringLiteral("bench-%1-%2").arg(QCoreApplication::applicationPid()).arg(round),
                     QStringLiteral("--claim-at"), QString::number(epochAtStart + claimAtMs)};
    }

    std::vector<std::unique_ptr<QProcess>> processes;
    qint64 lastStartMs = 0;
    for (int i = 0; i < Starts; ++i) {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment);
        process->setStandardOutputFile(QProcess::nullDevice());
        process->start(program, arguments);
        process->waitForStarted();
        lastStartMs = clock.elapsed();
        processes.push_back(std::move(process));
    }
    if (helper)
        lastStartMs = std::max(lastStartMs, claimAtMs);

    const auto running = [&processes] {
        return int(std::count_if(processes.cbegin(), processes.cend(), [](const auto &process) {
            process->waitForFinished(0);
            return process->state() != QProcess::NotRunning;
        }));
    };
    Round result;
    while (running() > 1 && clock.elapsed() < SettleLimitMs)
        QThread::msleep(1);
    const qint64 settledMs = clock.elapsed();
    // Whoever is left must stay: a late second instance would show here.
    QThread::msleep(500);
    result.oneLeft = running() == 1;
    result.lastStartToOneLeftMs = settledMs - lastStartMs;

    for (const auto &process : processes) {
        process->kill();
        process->waitForFinished();
    }
    return result;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int rounds = std::max(1, arguments.value(1, QStringLiteral("5")).toInt());
    const QString program = arguments.value(2, QStringLiteral(SPRELIO_INSTANCE_HELPER));
    const bool helper = arguments.size() < 3;

    std::vector<qint64> times;
    int failures = 0;
    for (int round = 0; round < rounds; ++round) {
        const Round result = runRound(program, helper, round);
        std::printf("round %d: %s, %lld ms from the last start to one instance\n", round + 1,
                    result.oneLeft ? "one instance" : "NOT one instance",
                    static_cast<long long>(result.lastStartToOneLeftMs));
        failures += result.oneLeft ? 0 : 1;
        times.push_back(result.lastStartToOneLeftMs);
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "%d starts x %d rounds of %s: median %lld ms, worst %lld ms, %d round(s) without one instance\n",
        Starts, rounds, qPrintable(program), static_cast<long long>(times.at(times.size() / 2)),
        static_cast<long long>(times.back()), failures);
    return failures == 0 ? 0 : 1;
}
