#include "app/claimlock.h"
#include "app/singleinstance.h"

#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QWidget>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

using Sprelio::SingleInstance;

namespace {

using namespace std::chrono_literals;

constexpr int Timeout = 10000;
// Many processes deciding at once on a slow, busy machine: a bound for correctness, not for speed.
constexpr int SettleTimeout = 90000;

int countWindowsTitled(const QString &title)
{
    QProcess xwininfo;
    xwininfo.start(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
    if (!xwininfo.waitForFinished(Timeout))
        return -1;
    const QByteArray quoted = '"' + title.toUtf8() + '"';
    return int(xwininfo.readAllStandardOutput().count(quoted));
}

// Another user for the tests that need one; they run as root, as CI does.
constexpr uid_t OtherUser = 65534;

// Whether nobody but the current user can write to folder, which must be a real one of the user's.
bool isPrivateFolder(const QString &folder)
{
    struct stat info = {};
    return ::lstat(QFile::encodeName(folder).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool changeOwner(const QString &path, uid_t user)
{
    return ::lchown(QFile::encodeName(path).constData(), user, user) == 0;
}

} // namespace

class TestSingleInstance final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void defaultKeyIsPerDesktopSession();

    void claimLockIsHeldByOneAtATime();
    void secondClaimActivatesFirst();
    void leftoversOfACrash_data();
    void leftoversOfACrash();
    void requests_data();
    void requests();

    void untrustedPlaces_data();
    void untrustedPlaces();

    void secondProcessHandsOverAndEnds();
    void simultaneousStartsEndWithOneInstance();

    void activatesTheActiveWindow_data();
    void activatesTheActiveWindow();

private:
    QString newKey();
    QProcess *startHelper(const QString &key, const QStringList &options = {},
                          const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

    QTemporaryDir m_runtimeDirectory;
    int m_keyCount = 0;
    QStringList m_keys;
    std::vector<std::unique_ptr<QProcess>> m_helpers;
};

QString TestSingleInstance::newKey()
{
    const QString key =
        QStringLiteral("sprelio-test-%1-%2").arg(QCoreApplication::applicationPid()).arg(++m_keyCount);
    m_keys.append(key);
    return key;
}

QProcess *TestSingleInstance::startHelper(const QString &key, const QStringList &options,
                                          const QProcessEnvironment &environment)
{
    auto helper = std::make_unique<QProcess>();
    helper->setProcessEnvironment(environment);
    helper->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    helper->start(QStringLiteral(SPRELIO_INSTANCE_HELPER), QStringList{key} + options);
    m_helpers.push_back(std::move(helper));
    return m_helpers.back().get();
}

void TestSingleInstance::initTestCase()
{
    QVERIFY(m_runtimeDirectory.isValid());
    // Sockets and locks of this test and its helpers stay out of the user's own runtime folder.
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtimeDirectory.path()));
    QVERIFY(SingleInstance(QStringLiteral("any")).serverName().startsWith(m_runtimeDirectory.path()));
}

void TestSingleInstance::cleanup()
{
    for (const auto &helper : m_helpers) {
        helper->kill();
        helper->waitForFinished(Timeout);
    }
    m_helpers.clear();
    for (const QString &key : std::as_const(m_keys)) {
        const SingleInstance instance(key);
        QLocalServer::removeServer(instance.serverName());
        QFile::remove(instance.lockFileName());
    }
    m_keys.clear();
    qunsetenv("XDG_ACTIVATION_TOKEN");
}

void TestSingleInstance::defaultKeyIsPerDesktopSession()
{
    const QByteArray display = qgetenv("DISPLAY");
    const QString key = Sprelio::defaultInstanceKey();
    QCOMPARE(Sprelio::defaultInstanceKey(), key);
    QVERIFY(!key.contains(QLatin1Char('/')));

    qputenv("DISPLAY", display + "-elsewhere");
    const QString otherDisplayKey = Sprelio::defaultInstanceKey();
    qputenv("DISPLAY", display);
    QVERIFY(otherDisplayKey != key);
}

void TestSingleInstance::claimLockIsHeldByOneAtATime()
{
    const QString name = m_runtimeDirectory.filePath(QStringLiteral("claim.lock"));
    Sprelio::ClaimLock first(name);
    Sprelio::ClaimLock second(name);
    QVERIFY(first.lock(0ms));
    QVERIFY(!second.lock(20ms));

    // A waiter that opened the file before its holder removed it must not hold a lock on the
    // removed file while a newcomer holds the new one.
    std::atomic<bool> secondLocked = false;
    std::thread waiter([&] { secondLocked = second.lock(60s); });
    QThread::msleep(50);
    first.unlock();
    waiter.join();
    QVERIFY(secondLocked);
    Sprelio::ClaimLock newcomer(name);
    QVERIFY(!newcomer.lock(0ms));

    second.unlock();
    QVERIFY(!QFile::exists(name));
    QVERIFY(newcomer.lock(0ms));
}

void TestSingleInstance::secondClaimActivatesFirst()
{
    const QString key = newKey();
    SingleInstance first(key);
    QSignalSpy activations(&first, &SingleInstance::activationRequested);
    QVERIFY(first.claim());
    QVERIFY(first.isListening());

    SingleInstance second(key);
    QVERIFY(!second.claim());
    QVERIFY(!second.isPrimary());
    QTRY_COMPARE_WITH_TIMEOUT(activations.count(), 1, Timeout);

    SingleInstance third(key);
    QVERIFY(!third.claim());
    QTRY_COMPARE_WITH_TIMEOUT(activations.count(), 2, Timeout);

    SingleInstance otherKey(newKey());
    QVERIFY(otherKey.claim());
}

void TestSingleInstance::leftoversOfACrash_data()
{
    QTest::addColumn<QString>("helperMode");
    QTest::addColumn<QByteArray>("helperSays");
    QTest::newRow("socket of a crashed instance") << "--crash-after-claim" << QByteArray("primary\n");
    QTest::newRow("lock of a start that crashed deciding")
        << "--crash-holding-lock" << QByteArray("locked\n");
    QTest::newRow("plain file at the socket's name") << QString() << QByteArray();
}

void TestSingleInstance::leftoversOfACrash()
{
    QFETCH(QString, helperMode);
    QFETCH(QByteArray, helperSays);

    const QString key = newKey();
    SingleInstance instance(key);
    if (helperMode.isEmpty()) {
        QFile file(instance.serverName());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("left over");
    } else {
        QProcess *crashing = startHelper(key, {helperMode});
        QVERIFY(crashing->waitForFinished(Timeout));
        QCOMPARE(crashing->readAllStandardOutput(), helperSays);
    }
    QVERIFY(QFile::exists(instance.serverName()) || QFile::exists(instance.lockFileName()));

    QVERIFY(instance.claim());
    QVERIFY(instance.isListening());
    // A lock that was not recognised as stale would still be there: the claim went ahead without it.
    QVERIFY(!QFile::exists(instance.lockFileName()));

    QSignalSpy activations(&instance, &SingleInstance::activationRequested);
    QVERIFY(!SingleInstance(key).claim());
    QTRY_COMPARE_WITH_TIMEOUT(activations.count(), 1, Timeout);
}

void TestSingleInstance::requests_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("activations");
    QTest::addColumn<QByteArray>("token");
    QTest::newRow("activation") << QByteArray("activate\n") << 1 << QByteArray();
    QTest::newRow("activation with a launcher token")
        << QByteArray("activate abc_123-xyz\n") << 1 << QByteArray("abc_123-xyz");
    QTest::newRow("token with a control byte is not applied") << QByteArray("activate abc\x1b"
                                                                            "def\n")
                                                              << 1 << QByteArray();
    QTest::newRow("unknown request") << QByteArray("open /etc/passwd\n") << 0 << QByteArray();
    QTest::newRow("verb without its separator") << QByteArray("activatex\n") << 0 << QByteArray();
    QTest::newRow("overlong line") << "activate " + QByteArray(600, 'x') + '\n' << 0 << QByteArray();
    QTest::newRow("overlong data without a line end") << QByteArray(600, 'x') << 0 << QByteArray();
    QTest::newRow("request that never ends is dropped") << QByteArray("activate") << 0 << QByteArray();
}

void TestSingleInstance::requests()
{
    QFETCH(QByteArray, request);
    QFETCH(int, activations);
    QFETCH(QByteArray, token);

    SingleInstance instance(newKey());
    QSignalSpy spy(&instance, &SingleInstance::activationRequested);
    QByteArrayList tokensOffered;
    connect(&instance, &SingleInstance::activationRequested, this,
            [&tokensOffered] { tokensOffered.append(qgetenv("XDG_ACTIVATION_TOKEN")); });
    QVERIFY(instance.claim());

    QLocalSocket client;
    client.connectToServer(instance.serverName());
    QVERIFY(client.waitForConnected(Timeout));
    client.write(request);
    QVERIFY(client.waitForBytesWritten(Timeout));
    // The instance closes every connection once it has dealt with it.
    QTRY_COMPARE_WITH_TIMEOUT(client.state(), QLocalSocket::UnconnectedState, Timeout);
    QCOMPARE(spy.count(), activations);
    if (activations > 0)
        QCOMPARE(tokensOffered.constFirst(), token);
    // Programs started later do not inherit the token.
    QVERIFY(!qEnvironmentVariableIsSet("XDG_ACTIVATION_TOKEN"));
}

// Other users can plant a socket, or the folder for it, in the shared temporary folder; a start must
// never hand over to another user's process nor meet its own starts in a folder others can write.
void TestSingleInstance::untrustedPlaces_data()
{
    QTest::addColumn<QString>("plant");
    QTest::addColumn<bool>("warned");
    QTest::newRow("runtime folder of another user") << "foreign runtime folder" << false;
    QTest::newRow("own folder in the temporary folder taken by another user") << "foreign fallback" << true;
    QTest::newRow("socket file of another user") << "foreign socket file" << true;
    QTest::newRow("listener of another user behind an own socket file") << "foreign listener" << true;
}

void TestSingleInstance::untrustedPlaces()
{
    QFETCH(QString, plant);
    QFETCH(bool, warned);
    if (::geteuid() != 0)
        QSKIP("needs root, to act as a second user");

    // A temporary folder of the test's own stands for the shared one.
    QTemporaryDir place;
    QVERIFY(place.isValid());
    QVERIFY(::chmod(QFile::encodeName(place.path()).constData(), 01777) == 0);
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray temporary = qgetenv("TMPDIR");
    const auto restore = qScopeGuard([&] {
        qputenv("XDG_RUNTIME_DIR", runtime);
        if (temporary.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", temporary);
    });
    const QString key = newKey();
    QProcess *foreign = nullptr;

    if (plant == QLatin1String("foreign runtime folder") || plant == QLatin1String("foreign fallback")) {
        // No runtime folder is set, and the one that Qt would take instead belongs to another user.
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(place.path()));
        const QString qtRuntime = place.filePath(QStringLiteral("runtime-root"));
        QVERIFY(QDir().mkdir(qtRuntime));
        QVERIFY(changeOwner(qtRuntime, OtherUser));
        if (plant == QLatin1String("foreign fallback")) {
            const QString fallback = place.filePath(QStringLiteral("sprelio-%1").arg(::geteuid()));
            QVERIFY(QDir().mkdir(fallback));
            QVERIFY(changeOwner(fallback, OtherUser));
        }
    } else {
        // The other user's socket is put into this user's own runtime folder.
        const QString planted = SingleInstance(key).serverName();
        QVERIFY(planted.startsWith(QString::fromLocal8Bit(runtime)));
        QTemporaryDir otherRuntime;
        QVERIFY(otherRuntime.isValid());
        QVERIFY(changeOwner(otherRuntime.path(), OtherUser));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), otherRuntime.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        auto helper = std::make_unique<QProcess>();
        helper->setProcessEnvironment(environment);
        helper->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        helper->start(QStringLiteral("setpriv"),
                      {QStringLiteral("--reuid=%1").arg(OtherUser),
                       QStringLiteral("--regid=%1").arg(OtherUser), QStringLiteral("--clear-groups"),
                       QStringLiteral(SPRELIO_INSTANCE_HELPER), key});
        foreign = helper.get();
        m_helpers.push_back(std::move(helper));
        QByteArray said;
        QTRY_COMPARE_WITH_TIMEOUT((said += foreign->readAllStandardOutput()), QByteArray("primary\n"),
                                  Timeout);
        const QString socket = otherRuntime.filePath(key);
        QVERIFY(QFile::rename(socket, planted));
        if (plant == QLatin1String("foreign listener"))
            QVERIFY(changeOwner(planted, ::geteuid()));
    }

    SingleInstance instance(key);
    // This start runs: it neither hands over to the other user's process nor stays away.
    QVERIFY(instance.claim());
    QVERIFY(instance.isPrimary());
    QCOMPARE(!instance.problem().isEmpty(), warned);
    if (!warned) {
        QVERIFY2(isPrivateFolder(QFileInfo(instance.serverName()).absolutePath()),
                 qPrintable(instance.serverName()));
        QVERIFY(instance.isListening());
    }
    if (foreign) {
        QTest::qWait(200);
        QCOMPARE(foreign->readAllStandardOutput(), QByteArray());
    }
}

void TestSingleInstance::secondProcessHandsOverAndEnds()
{
    const QString key = newKey();
    QProcess *first = startHelper(key);
    QByteArray said;
    QTRY_COMPARE_WITH_TIMEOUT((said += first->readAllStandardOutput()), QByteArray("primary\n"), Timeout);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_ACTIVATION_TOKEN"), QStringLiteral("launch-42"));
    QProcess *second = startHelper(key, {}, environment);
    QVERIFY(second->waitForFinished(Timeout));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QCOMPARE(second->readAllStandardOutput(), QByteArray("secondary\n"));

    said.clear();
    QTRY_COMPARE_WITH_TIMEOUT((said += first->readAllStandardOutput()), QByteArray("activated launch-42\n"),
                              Timeout);
    QCOMPARE(first->state(), QProcess::Running);
    if (QStandardPaths::findExecutable(QStringLiteral("xwininfo")).isEmpty())
        QSKIP("xwininfo is needed to count the windows on the display");
    QCOMPARE(countWindowsTitled(key), 1);

    first->closeWriteChannel();
    QVERIFY(first->waitForFinished(Timeout));
    QCOMPARE(first->exitCode(), 0);
    QVERIFY(!QFile::exists(SingleInstance(key).serverName()));
}

void TestSingleInstance::simultaneousStartsEndWithOneInstance()
{
    const QString key = newKey();
    constexpr int Starts = 8;
    // Starting a process takes longer than deciding, so the helpers wait for one common moment.
    const QString moment = QString::number(QDateTime::currentMSecsSinceEpoch() + 2000);
    std::vector<QProcess *> helpers;
    for (int i = 0; i < Starts; ++i)
        helpers.push_back(startHelper(key, {QStringLiteral("--claim-at"), moment}));

    const auto finishedCount = [&helpers] {
        return int(std::count_if(helpers.cbegin(), helpers.cend(), [](const QProcess *helper) {
            return helper->state() == QProcess::NotRunning;
        }));
    };
    QTRY_COMPARE_WITH_TIMEOUT(finishedCount(), Starts - 1, SettleTimeout);

    QProcess *primary = nullptr;
    for (QProcess *helper : helpers) {
        if (helper->state() == QProcess::Running) {
            primary = helper;
            continue;
        }
        QCOMPARE(helper->exitStatus(), QProcess::NormalExit);
        QCOMPARE(helper->exitCode(), 0);
        QCOMPARE(helper->readAllStandardOutput(), QByteArray("secondary\n"));
    }
    QVERIFY(primary);
    QByteArray said;
    const QByteArray expected = "primary\n" + QByteArray("activated\n").repeated(Starts - 1);
    QTRY_COMPARE_WITH_TIMEOUT((said += primary->readAllStandardOutput()), expected, SettleTimeout);
    if (QStandardPaths::findExecutable(QStringLiteral("xwininfo")).isEmpty())
        QSKIP("xwininfo is needed to count the windows on the display");
    QCOMPARE(countWindowsTitled(key), 1);
}

void TestSingleInstance::activatesTheActiveWindow_data()
{
    QTest::addColumn<bool>("mainShown");
    QTest::addColumn<bool>("mainMinimised");
    QTest::addColumn<bool>("dialogOpen");
    QTest::newRow("main window") << true << false << false;
    QTest::newRow("minimised main window is restored") << true << true << false;
    QTest::newRow("open modal dialog") << true << false << true;
    QTest::newRow("modal dialog over a minimised main window") << true << true << true;
    QTest::newRow("main window not shown yet") << false << false << false;
}

void TestSingleInstance::activatesTheActiveWindow()
{
    QFETCH(bool, mainShown);
    QFETCH(bool, mainMinimised);
    QFETCH(bool, dialogOpen);

    auto main = std::make_unique<QWidget>();
    main->setWindowTitle(QStringLiteral("main"));
    if (mainShown)
        main->show();
    QDialog *dialog = nullptr;
    if (dialogOpen) {
        dialog = new QDialog(main.get());
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->show();
    }
    if (mainMinimised)
        main->showMinimized();
    // Another program's window takes the focus, as it would when the user works elsewhere.
    const QString foreignKey = newKey();
    QProcess *foreign = startHelper(foreignKey);
    QByteArray said;
    QTRY_COMPARE_WITH_TIMEOUT((said += foreign->readAllStandardOutput()), QByteArray("primary\n"), Timeout);
    QVERIFY(startHelper(foreignKey)->waitForFinished(Timeout));
    QTRY_COMPARE_WITH_TIMEOUT((said += foreign->readAllStandardOutput()), QByteArray("primary\nactivated\n"),
                              Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), nullptr, Timeout);

    QWidget *const expected = dialog ? dialog : mainShown ? main.get() : nullptr;
    QCOMPARE(Sprelio::activateInstanceWindow(main.get()), expected);
    if (!expected) {
        QVERIFY(!main->isVisible());
        return;
    }
    QVERIFY(!main->isMinimized());
    // X ignores a focus request stamped older than the last focus change, and this process has had
    // no event since the other window took the focus. A property change brings a fresh time stamp.
    main->setWindowTitle(QStringLiteral("main, later"));
    QTRY_COMPARE_WITH_TIMEOUT((Sprelio::activateInstanceWindow(main.get()), QApplication::activeWindow()),
                              expected, Timeout);
}

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
