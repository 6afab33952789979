// The office target against a real LibreOffice: the real window types and sends, and the
// documents are read back through UNO.

#include "officefixture.h"

#include <com/sun/star/awt/FontSlant.hpp>
#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/drawing/XDrawPage.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/XSheetCellRangeContainer.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextViewCursorSupplier.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>

#include "app/modalwatch.h"
#include "app/spreliopad.h"
#include "compose/glyphedit.h"
#include "findnamed.h"
#include "i18n/langstr.h"
#include "palette/kwspeedbutton.h"
#include "palette/phoneticfonts.h"
#include "palette/speedbutton.h"
#include "uno/officeconnection.h"

#include <QAction>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include <csignal>

using namespace Sprelio;
using namespace OfficeFixture;
namespace awt = com::sun::star::awt;
namespace sheet = com::sun::star::sheet;
namespace table = com::sun::star::table;
namespace drawing = com::sun::star::drawing;

namespace {

// What the office makes of a glyph string pasted in a symbol face: each byte at the private
// code that symbol fonts map to that glyph.
QString symbolText(const QByteArray &glyphs)
{
    QString result;
    for (const char byte : glyphs) {
        result.append(QChar(static_cast<char16_t>(0xF000 + static_cast<unsigned char>(byte))));
    }
    return result;
}

// The portion of a text that holds the pasted glyphs.
uno::Reference<text::XTextRange> portionWith(const uno::Reference<text::XText> &text, const QString &glyphs)
{
    for (const auto &portion : portions(text)) {
        if (qs(portion->getString()).contains(glyphs)) {
            return portion;
        }
    }
    return {};
}

} // namespace

class TestOffice final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void writerAtTheCursor();
    void sentDocumentConvertsToUnicode();
    void connectionsInARow();
    void sendsInARow_data();
    void sendsInARow();
    void calcIntoTheFirstSelectedCell();
    void drawAtTwelvePoints();
    void noDocumentOpen();
    void sheetWithSeveralRangesRefusesThePaste();
    void noOfficeReachable();
    void officeStartedInVainIsEnded();
    void officeStoppedOrKilled_data();
    void officeStoppedOrKilled();

private:
    QByteArray typeTranscription();
    // Clicks the send button; the text of the message box that the send showed, which is closed
    // then, or an empty text. A send that fails shows its reason in the test's log, never a hang.
    QString send();
    GlyphEdit *edit() const { return findNamed<GlyphEdit>(m_pad.get(), "EditField"); }
    void keepForLooking(const uno::Reference<frame::XModel> &model, const char *name, const char *filter);

    Office m_office;
    std::unique_ptr<TSprelioPad> m_pad;
};

void TestOffice::initTestCase()
{
    registerPhoneticFonts();
    const QString failure = m_office.start();
    if (failure == Office::NotInstalled) {
        QSKIP("LibreOffice is not installed");
    }
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    // The window's bridge starts soffice to reach the office; this makes it the same office.
    qputenv("UserInstallation", m_office.profileUrl().toUtf8());
}

void TestOffice::init()
{
    m_office.closeAll();
    m_pad = std::make_unique<TSprelioPad>();
    m_pad->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pad.get()));
    findNamed<QAction>(m_pad.get(), "OpenOffice")->setChecked(true);
}

void TestOffice::cleanup()
{
    ModalWatch::cancelAll();
    m_pad.reset();
}

// Voiceless n, then t tied to esh: a mark below a base and a tie, typed with the real buttons.
QByteArray TestOffice::typeTranscription()
{
    findNamed<QAction>(m_pad.get(), "Diac1Btn")->trigger();
    const auto click = [](TKWSpeedButton *button) { QTest::mouseClick(button, Qt::LeftButton); };
    const auto palette = [this](const QByteArray &symbol) -> TKWSpeedButton * {
        for (TKWSpeedButton *button : m_pad->PaletteButtons()) {
            if (button->Symbol() == symbol) {
                return button;
            }
        }
        qFatal("no palette button %s", symbol.constData());
    };
    click(m_pad->SpecialButtons().at(0));
    click(palette("n"));
    click(palette("t"));
    click(m_pad->ToolButtons().at(4));
    click(palette("S"));
    QByteArray glyphs = edit()->glyphs();
    // At least n, its mark, t, the tie and esh.
    if (glyphs.size() < 5) {
        qFatal("typed only %lld bytes", static_cast<long long>(glyphs.size()));
    }
    return glyphs;
}

QString TestOffice::send()
{
    // The send goes to the office's current document, which the test's display may have let go.
    if (!m_office.makeOpenedCurrent()) {
        return QStringLiteral("the document did not become the office's current one");
    }
    QString shown;
    ModalWatch::whenModal<QMessageBox>(
        [&shown](QMessageBox *box) {
            shown = box->text();
            box->accept();
        },
        nullptr, 120000);
    QTest::mouseClick(findNamed<SpeedButton>(m_pad.get(), "EnterBtn"), Qt::LeftButton);
    ModalWatch::cancelAll();
    return shown;
}

void TestOffice::keepForLooking(const uno::Reference<frame::XModel> &model, const char *name,
                                const char *filter)
{
    const QString folder = qEnvironmentVariable("SPRELIO_OFFICE_PDF_DIR");
    if (!folder.isEmpty()) {
        Office::toPdf(model, QDir(folder).filePath(QString::fromLatin1(name) + QStringLiteral(".pdf")),
                      filter);
    }
}

void TestOffice::writerAtTheCursor()
{
    const auto model = m_office.open("swriter");
    const uno::Reference<text::XTextDocument> document(model, uno::UNO_QUERY_THROW);
    const uno::Reference<text::XTextViewCursorSupplier> views(model->getCurrentController(),
                                                              uno::UNO_QUERY_THROW);
    const uno::Reference<text::XTextRange> cursor(views->getViewCursor(), uno::UNO_QUERY_THROW);
    setUnoProperty(cursor, "CharFontName", uno::Any(OUString("Liberation Sans")));
    setUnoProperty(cursor, "CharHeight", uno::Any(14.0f));
    setUnoProperty(cursor, "CharWeight", uno::Any(awt::FontWeight::BOLD));
    setUnoProperty(cursor, "CharPosture", uno::Any(awt::FontSlant_ITALIC));
    document->getText()->insertString(cursor, OUString("Before "), false);

    const QByteArray glyphs = typeTranscription();
    QCOMPARE(send(), QString());
    QCOMPARE(edit()->glyphs(), QByteArray());

    const QString expected = symbolText(glyphs);
    QCOMPARE(qs(document->getText()->getString()), QStringLiteral("Before ") + expected + u' ');
    const auto pasted = portionWith(document->getText(), expected);
    QVERIFY(pasted.is());
    QCOMPARE(qs(unoProperty<OUString>(pasted, "CharFontName")), QStringLiteral("Lautbild Serif"));
    QCOMPARE(qs(pasted->getString()), expected);
    QCOMPARE(unoProperty<float>(pasted, "CharHeight"), 14.0f);
    // The text before keeps its face to the last letter.
    const auto before = portionWith(document->getText(), QStringLiteral("Before "));
    QVERIFY(before.is());
    QCOMPARE(qs(unoProperty<OUString>(before, "CharFontName")), QStringLiteral("Liberation Sans"));
    QCOMPARE(qs(unoProperty<OUString>(cursor, "CharFontName")), QStringLiteral("Liberation Sans"));
    QCOMPARE(unoProperty<float>(cursor, "CharWeight"), awt::FontWeight::BOLD);
    QCOMPARE(unoProperty<awt::FontSlant>(cursor, "CharPosture"), awt::FontSlant_ITALIC);
    keepForLooking(model, "writer", "writer_pdf_Export");
}

// What the program sends, converted by sprelio-convert to a Word document that any reader can show:
// the transcriptions come back as Unicode IPA in Charis SIL at the size they were sent at.
void TestOffice::sentDocumentConvertsToUnicode()
{
    const auto model = m_office.open("swriter");
    const uno::Reference<text::XTextViewCursorSupplier> views(model->getCurrentController(),
                                                              uno::UNO_QUERY_THROW);
    const uno::Reference<text::XTextRange> cursor(views->getViewCursor(), uno::UNO_QUERY_THROW);
    setUnoProperty(cursor, "CharFontName", uno::Any(OUString("Liberation Serif")));
    setUnoProperty(cursor, "CharHeight", uno::Any(16.0f));
    uno::Reference<text::XTextDocument>(model, uno::UNO_QUERY_THROW)
        ->getText()
        ->insertString(cursor, OUString("Sent: "), false);
    typeTranscription();
    QCOMPARE(send(), QString());
    // Strasse in brackets, typed from the keyboard's glyph codes; the uvular r is code 0x86.
    edit()->insertGlyphs(QByteArray("[`St\x86\x61:sE]"));
    QCOMPARE(send(), QString());
    QCOMPARE(edit()->glyphs(), QByteArray());

    // SPRELIO_OFFICE_PDF_DIR keeps the documents to look at.
    QTemporaryDir temporary;
    const QString kept = qEnvironmentVariable("SPRELIO_OFFICE_PDF_DIR");
    const QDir folder(kept.isEmpty() ? temporary.path() : kept);
    const QString sent = folder.filePath(QStringLiteral("sent.odt"));
    const QString converted = folder.filePath(QStringLiteral("sent-unicode.docx"));
    QFile::remove(converted);
    uno::Reference<frame::XStorable>(model, uno::UNO_QUERY_THROW)
        ->storeToURL(ou(QUrl::fromLocalFile(sent).toString()),
                     properties({{"FilterName", uno::Any(OUString("writer8"))}}));

    QProcess convert;
    convert.start(QStringLiteral(SPRELIO_CONVERT), {sent, converted});
    QVERIFY(convert.waitForStarted(30000));
    QVERIFY(convert.waitForFinished(300000));
    QVERIFY2(convert.exitCode() == 0, convert.readAllStandardError().constData());

    const uno::Reference<frame::XComponentLoader> loader(m_office.desktop(), uno::UNO_QUERY_THROW);
    const uno::Reference<lang::XComponent> document = loader->loadComponentFromURL(
        ou(QUrl::fromLocalFile(converted).toString()), "_blank", 0, properties({{"Hidden", uno::Any(true)}}));
    const uno::Reference<text::XTextDocument> textDocument(document, uno::UNO_QUERY_THROW);
    QString unicode;
    QStringList faults;
    // The text typed in the document keeps its face; the sent text is in Charis SIL at 16 pt.
    for (const auto &portion : portions(textDocument->getText())) {
        const QString piece = qs(portion->getString());
        const QString face = qs(unoProperty<OUString>(portion, "CharFontName"));
        if (piece.trimmed().isEmpty() || face == QLatin1String("Liberation Serif")) {
            continue;
        }
        const float size = unoProperty<float>(portion, "CharHeight");
        if (face != QLatin1String("Charis SIL") || size != 16.0f) {
            faults << QStringLiteral("%1 in %2 at %3 pt").arg(piece, face).arg(size);
        }
        unicode += piece;
    }
    uno::Reference<com::sun::star::util::XCloseable>(document, uno::UNO_QUERY_THROW)->close(true);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    QCOMPARE(unicode, QStringLiteral(u"n\u0325t\u0361\u0283[\u02C8\u0283t\u0281a\u02D0s\u0259]"));
}

// The office keeps the clipboard's formats for a while, whoever owns it since: sends in a row,
// with another program taking the clipboard before each, must all arrive as glyphs in the face.
// A window connects anew through a pipe that it has the running office open for it. Each
// connection must come up at the first go, as soon as the office listens on the pipe.
void TestOffice::connectionsInARow()
{
    const std::string soffice = OfficeConnection::sofficeIn(OfficeConnection::programFolder());
    const auto local = OfficeConnection::localContext(OfficeConnection::programFolder());
    QStringList failed;
    for (int i = 0; i < 20; ++i) {
        const std::string pipe = OfficeConnection::uniquePipeName("sprelio_test_");
        QVERIFY(OfficeConnection::startDetached(soffice,
                                                {"--nologo", "--nodefault", "--norestore", "--nolockcheck",
                                                 OfficeConnection::acceptArgument(pipe)}));
        try {
            const OfficeConnection::Remote remote = OfficeConnection::connect(
                local, pipe, std::chrono::steady_clock::now() + std::chrono::minutes(1), [] { return true; });
            QVERIFY(remote.context->getServiceManager().is());
            remote.bridge->dispose();
        } catch (const uno::Exception &error) {
            failed << QStringLiteral("%1: %2").arg(i).arg(qs(error.Message));
        }
    }
    QVERIFY2(failed.isEmpty(), qPrintable(failed.join(u'\n')));
}

void TestOffice::sendsInARow_data()
{
    QTest::addColumn<QString>("component");
    QTest::addColumn<bool>("othersTakeTheClipboard");
    for (const char *component : {"swriter", "scalc"}) {
        QTest::addRow("%s alone", component) << QString::fromLatin1(component) << false;
        QTest::addRow("%s after another program", component) << QString::fromLatin1(component) << true;
    }
}

void TestOffice::sendsInARow()
{
    QFETCH(QString, component);
    QFETCH(bool, othersTakeTheClipboard);
    const auto model = m_office.open(component.toLatin1().constData());
    const auto target = [&]() -> uno::Reference<text::XText> {
        if (const uno::Reference<text::XTextDocument> document{model, uno::UNO_QUERY}; document.is()) {
            return document->getText();
        }
        const uno::Reference<sheet::XSpreadsheetView> view(model->getCurrentController(),
                                                           uno::UNO_QUERY_THROW);
        return {view->getActiveSheet()->getCellByPosition(0, 0), uno::UNO_QUERY_THROW};
    }();
    // The whole run can be made longer from outside: SPRELIO_OFFICE_SENDS=100.
    const int sends = qMax(8, qEnvironmentVariableIntValue("SPRELIO_OFFICE_SENDS"));
    QStringList wrong;
    for (int i = 0; i < sends; ++i) {
        if (othersTakeTheClipboard) {
            QClipboard *clipboard = QGuiApplication::clipboard();
            // Another program's text only, as an editor or a browser puts it.
            QProcess other;
            other.start(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard")});
            QVERIFY(other.waitForStarted(30000));
            other.write("other");
            other.closeWriteChannel();
            QVERIFY(other.waitForFinished(30000));
            QTRY_VERIFY_WITH_TIMEOUT(clipboard->text() == QStringLiteral("other"), 30000);
        }
        const QByteArray glyphs = typeTranscription();
        QCOMPARE(send(), QString());
        const auto pasted = portionWith(target, symbolText(glyphs));
        const QString face = pasted.is() ? qs(unoProperty<OUString>(pasted, "CharFontName")) : QString();
        if (face != QStringLiteral("Lautbild Serif")) {
            wrong << QStringLiteral("%1: \"%2\" in \"%3\"").arg(i).arg(qs(target->getString()), face);
        }
        target->setString(OUString());
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
}

void TestOffice::calcIntoTheFirstSelectedCell()
{
    const auto model = m_office.open("scalc");
    const uno::Reference<sheet::XSpreadsheetView> sheetView(model->getCurrentController(),
                                                            uno::UNO_QUERY_THROW);
    const uno::Reference<sheet::XSpreadsheet> activeSheet = sheetView->getActiveSheet();
    setUnoProperty(activeSheet->getCellByPosition(1, 2), "CharHeight", uno::Any(16.0f));
    const uno::Reference<com::sun::star::view::XSelectionSupplier> selection(sheetView, uno::UNO_QUERY_THROW);
    selection->select(uno::Any(activeSheet->getCellRangeByName(OUString("B3:C4"))));

    const QByteArray glyphs = typeTranscription();
    QCOMPARE(send(), QString());
    QCOMPARE(edit()->glyphs(), QByteArray());

    const uno::Reference<text::XText> cell(activeSheet->getCellByPosition(1, 2), uno::UNO_QUERY_THROW);
    QCOMPARE(qs(cell->getString()), symbolText(glyphs));
    const auto pasted = portionWith(cell, symbolText(glyphs));
    QVERIFY(pasted.is());
    QCOMPARE(qs(unoProperty<OUString>(pasted, "CharFontName")), QStringLiteral("Lautbild Serif"));
    QCOMPARE(unoProperty<float>(pasted, "CharHeight"), 16.0f);
    keepForLooking(model, "calc", "calc_pdf_Export");
}

void TestOffice::drawAtTwelvePoints()
{
    const auto model = m_office.open("sdraw");
    const QByteArray glyphs = typeTranscription();
    // Draw still pastes, and the office keeps the list of formats it last saw on the clipboard for
    // two seconds, whoever owns it since: the rows before had another program put plain text there.
    QTest::qWait(2500);
    QCOMPARE(send(), QString());
    QCOMPARE(edit()->glyphs(), QByteArray());

    const uno::Reference<drawing::XDrawPagesSupplier> pages(model, uno::UNO_QUERY_THROW);
    const uno::Reference<drawing::XDrawPage> page(pages->getDrawPages()->getByIndex(0), uno::UNO_QUERY_THROW);
    QCOMPARE(page->getCount(), 1);
    const uno::Reference<text::XText> shape(page->getByIndex(0), uno::UNO_QUERY_THROW);
    QCOMPARE(qs(shape->getString()), symbolText(glyphs));
    const auto pasted = portionWith(shape, symbolText(glyphs));
    QVERIFY(pasted.is());
    QCOMPARE(qs(unoProperty<OUString>(pasted, "CharFontName")), QStringLiteral("Lautbild Serif"));
    QCOMPARE(unoProperty<float>(pasted, "CharHeight"), 12.0f);
    keepForLooking(model, "draw", "draw_pdf_Export");
}

void TestOffice::noDocumentOpen()
{
    const QByteArray glyphs = typeTranscription();
    QCOMPARE(send(), LangStr(22));
    QCOMPARE(edit()->glyphs(), glyphs);
}

void TestOffice::sheetWithSeveralRangesRefusesThePaste()
{
    const auto model = m_office.open("scalc");
    const uno::Reference<sheet::XSpreadsheetView> sheetView(model->getCurrentController(),
                                                            uno::UNO_QUERY_THROW);
    const uno::Reference<lang::XMultiServiceFactory> factory(model, uno::UNO_QUERY_THROW);
    const uno::Reference<sheet::XSheetCellRangeContainer> ranges(
        factory->createInstance(OUString("com.sun.star.sheet.SheetCellRanges")), uno::UNO_QUERY_THROW);
    ranges->addRangeAddress(table::CellRangeAddress(0, 1, 1, 1, 1), false);
    ranges->addRangeAddress(table::CellRangeAddress(0, 3, 3, 3, 3), false);
    const uno::Reference<com::sun::star::view::XSelectionSupplier> selection(sheetView, uno::UNO_QUERY_THROW);
    QVERIFY(selection->select(uno::Any(ranges)));

    const QByteArray glyphs = typeTranscription();
    QCOMPARE(send(), LangStr(21));
    QCOMPARE(edit()->glyphs(), glyphs);
}

// The offices of this user whose profile is the given one.
QList<int> officesOfProfile(const QString &profileUrl)
{
    QList<int> offices;
    const QByteArray wanted = "UserInstallation=" + profileUrl.toUtf8();
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const int pid = entry.toInt(&isPid);
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        QFile environment(QStringLiteral("/proc/%1/environ").arg(pid));
        if (!isPid || !comm.open(QIODevice::ReadOnly) || comm.readAll().trimmed() != "soffice.bin" ||
            !environment.open(QIODevice::ReadOnly)) {
            continue;
        }
        if (environment.readAll().split('\0').contains(wanted)) {
            offices << pid;
        }
    }
    return offices;
}

// An office for a test that stops or kills it: a profile and a new Writer document of its own, and
// reached by nothing in this program but the window's bridge. Two connections of one program to
// the same object share one proxy, which carries the calls of both over the connection that made
// it first: the test's own connection to it is closed before the window connects.
class OwnOffice
{
public:
    QString profileUrl() const { return QUrl::fromLocalFile(m_profile.path()).toString(); }
    pid_t pid() const { return m_pid; }

    /// Starts the office and waits until its document is the current one; empty when that worked.
    QString start()
    {
        const std::string pipe = OfficeConnection::uniquePipeName("sprelio_test_");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("UserInstallation"), profileUrl());
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStandardPaths::findExecutable(QStringLiteral("soffice")),
                        {QStringLiteral("-env:UserInstallation=") + profileUrl(),
                         QStringLiteral("--norestore"), QStringLiteral("--nologo"),
                         QStringLiteral("--nolockcheck"), QStringLiteral("--writer"),
                         QString::fromStdString(OfficeConnection::acceptArgument(pipe))});
        if (!m_process.waitForStarted(30000)) {
            return QStringLiteral("soffice did not start");
        }
        try {
            OfficeConnection::Remote remote =
                OfficeConnection::connect(OfficeConnection::localContext(OfficeConnection::programFolder()),
                                          pipe, std::chrono::steady_clock::now() + std::chrono::minutes(2),
                                          [this] { return m_process.state() != QProcess::NotRunning; });
            uno::Reference<frame::XDesktop> desktop(
                remote.context->getServiceManager()->createInstanceWithContext(
                    OUString("com.sun.star.frame.Desktop"), remote.context),
                uno::UNO_QUERY_THROW);
            QElapsedTimer waited;
            waited.start();
            while (!desktop->getCurrentComponent().is() && waited.elapsed() < 120000) {
                QThread::msleep(50);
            }
            const bool ready = desktop->getCurrentComponent().is();
            desktop.clear();
            remote.context.clear();
            remote.bridge->dispose();
            if (!ready) {
                return QStringLiteral("the office shows no document");
            }
        } catch (const uno::Exception &error) {
            return QStringLiteral("no connection to the office: ") + qs(error.Message);
        }
        const QList<int> offices = officesOfProfile(profileUrl());
        m_pid = offices.size() == 1 ? offices.front() : 0;
        return m_pid != 0 ? QString() : QStringLiteral("not one office for the profile");
    }

    ~OwnOffice()
    {
        // Only while the number still names this office: a killed one may be another process now.
        if (m_pid != 0 && officesOfProfile(profileUrl()).contains(m_pid)) {
            ::kill(m_pid, SIGKILL);
            ::kill(m_pid, SIGCONT);
        }
        if (!m_process.waitForFinished(30000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

private:
    QTemporaryDir m_profile;
    QProcess m_process;
    pid_t m_pid = 0;
};

// The user's office runs under another profile: the send starts an office of its own, which
// has no document, and fails. That office must not stay behind, hidden.
void TestOffice::officeStartedInVainIsEnded()
{
    QTemporaryDir otherProfile;
    const QString url = QUrl::fromLocalFile(otherProfile.path()).toString();
    qputenv("UserInstallation", url.toUtf8());
    const QByteArray glyphs = typeTranscription();
    const QString shown = send();
    qputenv("UserInstallation", m_office.profileUrl().toUtf8());
    QCOMPARE(shown, LangStr(22));
    QCOMPARE(edit()->glyphs(), glyphs);
    QTRY_VERIFY_WITH_TIMEOUT(officesOfProfile(url).isEmpty(), 60000);
    // The user's own office is still there.
    QVERIFY(m_office.open("swriter").is());
}

void TestOffice::noOfficeReachable()
{
    // The window's bridge looks for the office where UNO_PATH says; here there is none.
    QTemporaryDir nowhere;
    const QByteArray before = qgetenv("UNO_PATH");
    qputenv("UNO_PATH", QFile::encodeName(nowhere.path()));
    const QByteArray glyphs = typeTranscription();
    const QString shown = send();
    if (before.isEmpty()) {
        qunsetenv("UNO_PATH");
    } else {
        qputenv("UNO_PATH", before);
    }
    QCOMPARE(shown, LangStr(22));
    QCOMPARE(edit()->glyphs(), glyphs);
}

// The office stops answering, or ends, while the window is connected to it: the send ends with the
// office's message within a bound far below the time an office takes to start, the line stays in
// the field, and once the office is back the next send reaches it.
void TestOffice::officeStoppedOrKilled_data()
{
    QTest::addColumn<int>("signalBefore");
    QTest::addColumn<int>("signalDuring");
    QTest::newRow("stopped") << SIGSTOP << 0;
    QTest::newRow("killed before the send") << SIGKILL << 0;
    QTest::newRow("killed during the send") << SIGSTOP << SIGKILL;
}

void TestOffice::officeStoppedOrKilled()
{
    QFETCH(int, signalBefore);
    QFETCH(int, signalDuring);
    auto office = std::make_unique<OwnOffice>();
    const QString failure = office->start();
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    qputenv("UserInstallation", office->profileUrl().toUtf8());
    const auto backToTheFixture =
        qScopeGuard([this] { qputenv("UserInstallation", m_office.profileUrl().toUtf8()); });
    // A window of its own, whose connection reaches that office.
    m_pad = std::make_unique<TSprelioPad>();
    m_pad->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pad.get()));
    findNamed<QAction>(m_pad.get(), "OpenOffice")->setChecked(true);
    static_cast<void>(typeTranscription());
    QCOMPARE(send(), QString());
    QCOMPARE(edit()->glyphs(), QByteArray());

    const QByteArray glyphs = typeTranscription();
    QCOMPARE(::kill(office->pid(), signalBefore), 0);
    // The second signal comes while the send waits for the office. A stopped office is continued
    // after a long while in any case, so that a send that waits for it cannot hang the test.
    QTimer during;
    during.setSingleShot(true);
    const int later = signalDuring != 0 ? signalDuring : SIGCONT;
    connect(&during, &QTimer::timeout, this, [pid = office->pid(), later] { ::kill(pid, later); });
    during.start(signalDuring != 0 ? 1000 : 45000);
    QElapsedTimer sending;
    sending.start();
    const QString shown = send();
    const qint64 took = sending.elapsed();
    during.stop();
    qInfo("the send ended after %lld ms", static_cast<long long>(took));
    const bool killed = signalBefore == SIGKILL || signalDuring == SIGKILL;
    if (!killed) {
        ::kill(office->pid(), SIGCONT);
    }
    QCOMPARE(shown, LangStr(22));
    QCOMPARE(edit()->glyphs(), glyphs);
    QVERIFY2(took < 30000, qPrintable(QStringLiteral("the send took %1 ms").arg(took)));

    // Once the office is back, the next send reaches it again.
    if (killed) {
        office = std::make_unique<OwnOffice>();
        const QString restarted = office->start();
        QVERIFY2(restarted.isEmpty(), qPrintable(restarted));
        qputenv("UserInstallation", office->profileUrl().toUtf8());
    }
    QCOMPARE(send(), QString());
    QCOMPARE(edit()->glyphs(), QByteArray());
}

QTEST_MAIN(TestOffice)
#include "tst_office.moc"
