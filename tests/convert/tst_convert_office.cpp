// sprelio-convert against a real LibreOffice: documents with phonetic text in every place are made
// over UNO, converted by the real program into several formats and read back.

#include "targets/officefixture.h"

#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/drawing/XDrawPage.hpp>
#include <com/sun/star/drawing/XDrawPageSupplier.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/drawing/XMasterPageTarget.hpp>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/drawing/XShapes.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/presentation/XPresentationPage.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/text/XEndnotesSupplier.hpp>
#include <com/sun/star/text/XFootnotesSupplier.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextFieldsSupplier.hpp>
#include <com/sun/star/text/XTextFrame.hpp>
#include <com/sun/star/text/XTextFramesSupplier.hpp>
#include <com/sun/star/text/XTextTable.hpp>
#include <com/sun/star/text/XTextTablesSupplier.hpp>

#include <QCryptographicHash>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTest>

using namespace OfficeFixture;
namespace awt = com::sun::star::awt;
namespace container = com::sun::star::container;
namespace drawing = com::sun::star::drawing;
namespace presentation = com::sun::star::presentation;
namespace sheet = com::sun::star::sheet;

namespace {

struct Stretch
{
    QByteArray glyphs;
    bool bold;
};

// n with its ring, t tie-bar esh: the bases bold, the ring and the tie bar not.
const std::vector<Stretch> Transcription = {
    {"n", true}, {"$", false}, {"t", true}, {"\xD4", false}, {"S", true}};
const QString Expected = QStringLiteral(u"n\u0325t\u0361\u0283");
const QString PlainTail = QStringLiteral(" plain");
constexpr float PointSize = 14.0F;

QString symbolText(const QByteArray &glyphs)
{
    QString result;
    for (const char byte : glyphs) {
        result.append(QChar(static_cast<char16_t>(0xF000 + static_cast<unsigned char>(byte))));
    }
    return result;
}

// Appends the transcription and a plain tail to a text, each stretch in its own formatting.
void appendTranscription(const uno::Reference<text::XText> &target)
{
    const uno::Reference<text::XTextCursor> cursor = target->createTextCursorByRange(target->getEnd());
    const auto append = [&](const QString &piece, const char *face, bool bold) {
        target->insertString(cursor.get(), ou(piece), false);
        cursor->goLeft(static_cast<sal_Int16>(piece.size()), true);
        setUnoProperty(cursor, "CharFontName", uno::Any(OUString::createFromAscii(face)));
        setUnoProperty(cursor, "CharHeight", uno::Any(PointSize));
        setUnoProperty(cursor, "CharWeight",
                       uno::Any(bold ? awt::FontWeight::BOLD : awt::FontWeight::NORMAL));
        cursor->collapseToEnd();
    };
    for (const Stretch &stretch : Transcription) {
        append(symbolText(stretch.glyphs), "Lautbild Serif", stretch.bold);
    }
    append(PlainTail, "DejaVu Sans", false);
}

// What a converted text must hold: the transcription in Charis SIL at its size, each base bold
// with its marks, no phonetic face left, the plain tail in its own face.
QString checkConverted(const uno::Reference<text::XText> &converted)
{
    if (!converted.is()) {
        return QStringLiteral("the place is missing");
    }
    QString unicode;
    QStringList bold;
    QString tail;
    for (const auto &portion : portions(converted)) {
        const QString face = qs(unoProperty<OUString>(portion, "CharFontName"));
        const QString piece = qs(portion->getString());
        if (piece.isEmpty()) {
            continue; // an empty attribute holder shows nothing
        }
        if (face.startsWith(QLatin1String("Lautbild"))) {
            return QStringLiteral("still in %1: %2").arg(face, piece);
        }
        if (face == QLatin1String("Charis SIL")) {
            unicode += piece;
            if (qAbs(unoProperty<float>(portion, "CharHeight") - PointSize) > 0.01F) {
                return QStringLiteral("size lost in ") + piece;
            }
            if (unoProperty<float>(portion, "CharWeight") > awt::FontWeight::NORMAL) {
                bold.append(piece);
            }
        } else {
            tail += piece;
        }
    }
    if (unicode != Expected) {
        return QStringLiteral("Unicode %1, expected %2").arg(unicode, Expected);
    }
    if (bold.join(QString()) != Expected) {
        return QStringLiteral("bold stretches: ") + bold.join(QLatin1Char('|'));
    }
    if (!tail.contains(PlainTail)) {
        return QStringLiteral("plain text changed: ") + tail;
    }
    return {};
}

uno::Reference<lang::XMultiServiceFactory> factoryOf(const uno::Reference<lang::XComponent> &document)
{
    return {document, uno::UNO_QUERY_THROW};
}

// Shapes of a Writer document or a sheet: the supplier is marked outdated, but it is the only way.
uno::Reference<drawing::XShapes> shapesOf(const uno::Reference<uno::XInterface> &owner)
{
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return {uno::Reference<drawing::XDrawPageSupplier>(owner, uno::UNO_QUERY_THROW)->getDrawPage(),
            uno::UNO_QUERY_THROW};
#pragma GCC diagnostic pop
}

// A drawing shape holding the transcription, added to a page or a sheet.
void addTextShape(const uno::Reference<lang::XComponent> &document,
                  const uno::Reference<drawing::XShapes> &page)
{
    const uno::Reference<drawing::XShape> box(
        factoryOf(document)->createInstance("com.sun.star.drawing.TextShape"), uno::UNO_QUERY_THROW);
    box->setSize({12000, 3000});
    page->add(box);
    appendTranscription(uno::Reference<text::XText>(box, uno::UNO_QUERY_THROW));
}

// The text of the first shape on a page that holds any, Writer's text frames left out.
uno::Reference<text::XText> shapeText(const uno::Reference<drawing::XShapes> &page)
{
    for (sal_Int32 i = 0; page.is() && i < page->getCount(); ++i) {
        const uno::Reference<text::XText> text(page->getByIndex(i), uno::UNO_QUERY);
        const uno::Reference<lang::XServiceInfo> info(text, uno::UNO_QUERY);
        if (text.is() && !text->getString().isEmpty() &&
            !(info.is() && info->supportsService("com.sun.star.text.TextFrame"))) {
            return text;
        }
    }
    return {};
}

uno::Reference<drawing::XShapes> notesOf(const uno::Reference<drawing::XShapes> &slide)
{
    return {uno::Reference<presentation::XPresentationPage>(slide, uno::UNO_QUERY_THROW)->getNotesPage(),
            uno::UNO_QUERY_THROW};
}

uno::Reference<drawing::XShapes> masterOf(const uno::Reference<drawing::XShapes> &slide)
{
    return {uno::Reference<drawing::XMasterPageTarget>(slide, uno::UNO_QUERY_THROW)->getMasterPage(),
            uno::UNO_QUERY_THROW};
}

// The places of a Writer document, by name, as the test makes them and reads them back.
std::vector<std::pair<QString, uno::Reference<text::XText>>>
writerPlaces(const uno::Reference<lang::XComponent> &document)
{
    std::vector<std::pair<QString, uno::Reference<text::XText>>> places;
    const uno::Reference<text::XTextDocument> textDocument(document, uno::UNO_QUERY_THROW);
    places.emplace_back(QStringLiteral("body"), textDocument->getText());
    const uno::Reference<container::XNameAccess> tables(
        uno::Reference<com::sun::star::text::XTextTablesSupplier>(document, uno::UNO_QUERY_THROW)
            ->getTextTables());
    for (const OUString &name : tables->getElementNames()) {
        const uno::Reference<text::XTextTable> table(tables->getByName(name), uno::UNO_QUERY_THROW);
        places.emplace_back(QStringLiteral("table cell"),
                            uno::Reference<text::XText>(table->getCellByName("A1"), uno::UNO_QUERY));
    }
    const uno::Reference<container::XNameAccess> pageStyles(
        uno::Reference<com::sun::star::style::XStyleFamiliesSupplier>(document, uno::UNO_QUERY_THROW)
            ->getStyleFamilies()
            ->getByName("PageStyles"),
        uno::UNO_QUERY_THROW);
    const uno::Reference<uno::XInterface> standard(pageStyles->getByName("Standard"), uno::UNO_QUERY_THROW);
    places.emplace_back(QStringLiteral("header"),
                        unoProperty<uno::Reference<text::XText>>(standard, "HeaderText"));
    places.emplace_back(QStringLiteral("footer"),
                        unoProperty<uno::Reference<text::XText>>(standard, "FooterText"));
    const auto notes = [&](const QString &what, const uno::Reference<container::XIndexAccess> &list) {
        places.emplace_back(what, list->getCount() > 0
                                      ? uno::Reference<text::XText>(list->getByIndex(0), uno::UNO_QUERY)
                                      : uno::Reference<text::XText>());
    };
    notes(QStringLiteral("footnote"),
          uno::Reference<text::XFootnotesSupplier>(document, uno::UNO_QUERY_THROW)->getFootnotes());
    notes(QStringLiteral("endnote"),
          uno::Reference<text::XEndnotesSupplier>(document, uno::UNO_QUERY_THROW)->getEndnotes());
    const uno::Reference<container::XNameAccess> frames(
        uno::Reference<text::XTextFramesSupplier>(document, uno::UNO_QUERY_THROW)->getTextFrames());
    const uno::Sequence<OUString> frameNames = frames->getElementNames();
    places.emplace_back(
        QStringLiteral("frame"),
        frameNames.getLength() > 0
            ? uno::Reference<text::XTextFrame>(frames->getByName(frameNames[0]), uno::UNO_QUERY_THROW)
                  ->getText()
            : uno::Reference<text::XText>());
    uno::Reference<text::XText> comment;
    const uno::Reference<container::XEnumeration> fields =
        uno::Reference<text::XTextFieldsSupplier>(document, uno::UNO_QUERY_THROW)
            ->getTextFields()
            ->createEnumeration();
    while (fields->hasMoreElements() && !comment.is()) {
        const uno::Reference<lang::XServiceInfo> field(fields->nextElement(), uno::UNO_QUERY);
        if (field.is() && field->supportsService("com.sun.star.text.textfield.Annotation")) {
            comment = unoProperty<uno::Reference<text::XText>>(field, "TextRange");
        }
    }
    places.emplace_back(QStringLiteral("comment"), comment);
    places.emplace_back(QStringLiteral("shape"), shapeText(shapesOf(document)));
    return places;
}

uno::Reference<lang::XComponent> makeWriterDocument(const uno::Reference<frame::XComponentLoader> &loader)
{
    const uno::Reference<lang::XComponent> document = loader->loadComponentFromURL(
        "private:factory/swriter", "_blank", 0, properties({{"Hidden", uno::Any(true)}}));
    const uno::Reference<text::XText> body =
        uno::Reference<text::XTextDocument>(document, uno::UNO_QUERY_THROW)->getText();
    appendTranscription(body);
    const auto factory = factoryOf(document);

    const uno::Reference<text::XTextTable> table(factory->createInstance("com.sun.star.text.TextTable"),
                                                 uno::UNO_QUERY_THROW);
    table->initialize(1, 2);
    body->insertTextContent(body->getEnd(), table.get(), false);
    appendTranscription(uno::Reference<text::XText>(table->getCellByName("A1"), uno::UNO_QUERY_THROW));
    // A table inside the second cell.
    const uno::Reference<text::XText> outerCell(table->getCellByName("B1"), uno::UNO_QUERY_THROW);
    const uno::Reference<text::XTextTable> nested(factory->createInstance("com.sun.star.text.TextTable"),
                                                  uno::UNO_QUERY_THROW);
    nested->initialize(1, 1);
    outerCell->insertTextContent(outerCell->getEnd(), nested.get(), false);
    appendTranscription(uno::Reference<text::XText>(nested->getCellByName("A1"), uno::UNO_QUERY_THROW));

    const uno::Reference<container::XNameAccess> pageStyles(
        uno::Reference<com::sun::star::style::XStyleFamiliesSupplier>(document, uno::UNO_QUERY_THROW)
            ->getStyleFamilies()
            ->getByName("PageStyles"),
        uno::UNO_QUERY_THROW);
    const uno::Reference<uno::XInterface> standard(pageStyles->getByName("Standard"), uno::UNO_QUERY_THROW);
    setUnoProperty(standard, "HeaderIsOn", uno::Any(true));
    setUnoProperty(standard, "FooterIsOn", uno::Any(true));
    appendTranscription(unoProperty<uno::Reference<text::XText>>(standard, "HeaderText"));
    appendTranscription(unoProperty<uno::Reference<text::XText>>(standard, "FooterText"));

    for (const char *service : {"com.sun.star.text.Footnote", "com.sun.star.text.Endnote"}) {
        const uno::Reference<text::XTextContent> note(
            factory->createInstance(OUString::createFromAscii(service)), uno::UNO_QUERY_THROW);
        body->insertTextContent(body->getEnd(), note, false);
        appendTranscription(uno::Reference<text::XText>(note, uno::UNO_QUERY_THROW));
    }
    const uno::Reference<text::XTextFrame> textFrame(factory->createInstance("com.sun.star.text.TextFrame"),
                                                     uno::UNO_QUERY_THROW);
    body->insertTextContent(body->getEnd(), textFrame.get(), false);
    appendTranscription(textFrame->getText());

    const uno::Reference<text::XTextContent> comment(
        factory->createInstance("com.sun.star.text.textfield.Annotation"), uno::UNO_QUERY_THROW);
    setUnoProperty(comment, "Author", uno::Any(OUString("Sprelio")));
    // Written before the comment goes in: the document keeps the text the comment had then.
    appendTranscription(unoProperty<uno::Reference<text::XText>>(comment, "TextRange"));
    body->insertTextContent(body->getEnd(), comment, false);
    addTextShape(document, shapesOf(document));

    return document;
}

QByteArray sha1Of(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
}

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run runConvert(const QStringList &args,
               const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(SPRELIO_CONVERT), args);
    Run run;
    if (!process.waitForStarted(30000) || !process.waitForFinished(300000)) {
        process.kill();
        process.waitForFinished(10000);
        run.err = QStringLiteral("sprelio-convert did not finish");
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

class TestConvertOffice final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void writerEveryPlace_data();
    void writerEveryPlace();
    void calcAndImpress_data();
    void calcAndImpress();
    void badInput_data();
    void badInput();
    void documentOpenInAnotherOffice();
    void officeEndsWhileStarting();

private:
    uno::Reference<lang::XComponent> load(const QString &path)
    {
        const uno::Reference<frame::XComponentLoader> loader(m_office.desktop(), uno::UNO_QUERY_THROW);
        return loader->loadComponentFromURL(ou(QUrl::fromLocalFile(path).toString()), "_blank", 0,
                                            properties({{"Hidden", uno::Any(true)}}));
    }
    static void store(const uno::Reference<lang::XComponent> &document, const QString &path,
                      const char *filter, const char *password = nullptr)
    {
        std::vector<beans::PropertyValue> values{
            {"FilterName", 0, uno::Any(OUString::createFromAscii(filter)), {}}};
        if (password != nullptr) {
            values.push_back({"Password", 0, uno::Any(OUString::createFromAscii(password)), {}});
        }
        uno::Reference<frame::XStorable>(document, uno::UNO_QUERY_THROW)
            ->storeToURL(
                ou(QUrl::fromLocalFile(path).toString()),
                uno::Sequence<beans::PropertyValue>(values.data(), static_cast<sal_Int32>(values.size())));
    }
    static void close(const uno::Reference<lang::XComponent> &document)
    {
        uno::Reference<com::sun::star::util::XCloseable>(document, uno::UNO_QUERY_THROW)->close(true);
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }

    Office m_office;
    QTemporaryDir m_dir;
    bool m_impress = false;
};

void TestConvertOffice::initTestCase()
{
    // Every document of the test is hidden, so the office needs no display.
    const QString failure = m_office.start(Office::Screen::Headless);
    if (failure == Office::NotInstalled) {
        QSKIP("LibreOffice is not installed");
    }
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QVERIFY(m_dir.isValid());
    // To look at the documents after a failure.
    m_dir.setAutoRemove(!qEnvironmentVariableIsSet("SPRELIO_KEEP_TEST_FILES"));
    const uno::Reference<frame::XComponentLoader> loader(m_office.desktop(), uno::UNO_QUERY_THROW);
    const uno::Reference<lang::XComponent> writer = makeWriterDocument(loader);
    store(writer, path("source.odt"), "writer8");
    store(writer, path("source.docx"), "MS Word 2007 XML");
    store(writer, path("source.doc"), "MS Word 97");
    store(writer, path("source.rtf"), "Rich Text Format");
    store(writer, path("locked.odt"), "writer8", "secret");
    close(writer);

    const uno::Reference<lang::XComponent> calc = loader->loadComponentFromURL(
        "private:factory/scalc", "_blank", 0, properties({{"Hidden", uno::Any(true)}}));
    const uno::Reference<container::XIndexAccess> sheets(
        uno::Reference<sheet::XSpreadsheetDocument>(calc, uno::UNO_QUERY_THROW)->getSheets(),
        uno::UNO_QUERY_THROW);
    const uno::Reference<sheet::XSpreadsheet> first(sheets->getByIndex(0), uno::UNO_QUERY_THROW);
    appendTranscription(uno::Reference<text::XText>(first->getCellByPosition(1, 2), uno::UNO_QUERY_THROW));
    addTextShape(calc, shapesOf(first));
    store(calc, path("source.ods"), "calc8");
    store(calc, path("source.xlsx"), "Calc MS Excel 2007 XML");
    close(calc);

    uno::Reference<lang::XComponent> impress;
    try {
        impress = loader->loadComponentFromURL("private:factory/simpress", "_blank", 0,
                                               properties({{"Hidden", uno::Any(true)}}));
    } catch (const uno::Exception &) {
    }
    m_impress = impress.is();
    if (m_impress) {
        const uno::Reference<container::XIndexAccess> pages(
            uno::Reference<drawing::XDrawPagesSupplier>(impress, uno::UNO_QUERY_THROW)->getDrawPages(),
            uno::UNO_QUERY_THROW);
        const uno::Reference<drawing::XShapes> slide(pages->getByIndex(0), uno::UNO_QUERY_THROW);
        addTextShape(impress, slide);
        addTextShape(impress, notesOf(slide));
        addTextShape(impress, masterOf(slide));
        store(impress, path("source.odp"), "impress8");
        store(impress, path("source.pptx"), "Impress MS PowerPoint 2007 XML");
        close(impress);
    }
}

void TestConvertOffice::cleanupTestCase()
{
    m_office.closeAll();
}

void TestConvertOffice::writerEveryPlace_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QStringList>("lostByTheFormat");

    // Word files keep a frame as a shape with a text box, which the office reads back as a shape,
    // and a shape's text in a text box of its own, which it reads back as a frame.
    const QStringList frame{QStringLiteral("frame"), QStringLiteral("shape")};
    QTest::newRow("odt to docx") << "source.odt"
                                 << "out1.docx" << frame;
    QTest::newRow("doc to odt") << "source.doc"
                                << "out2.odt" << QStringList();
    QTest::newRow("rtf to doc") << "source.rtf"
                                << "out3.doc" << frame;
    QTest::newRow("odt to pdf") << "source.odt"
                                << "out4.pdf" << QStringList();
}

void TestConvertOffice::writerEveryPlace()
{
    QFETCH(QString, source);
    QFETCH(QString, target);
    QFETCH(QStringList, lostByTheFormat);
    const QByteArray before = sha1Of(path(source));
    const Run run = runConvert({path(source), path(target)});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.out.contains(QLatin1String("Lautbild Serif")), qPrintable(run.out));
    QCOMPARE(sha1Of(path(source)), before);
    if (target.endsWith(QLatin1String(".pdf"))) {
        // The PDF holds the text in fonts every reader has; pdftotext reads it back.
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {path(target), QStringLiteral("-")});
        if (!pdftotext.waitForStarted(30000)) {
            QSKIP("pdftotext (poppler-utils) is not installed");
        }
        QVERIFY(pdftotext.waitForFinished(120000));
        const QString pdfText =
            QString::fromUtf8(pdftotext.readAllStandardOutput()).normalized(QString::NormalizationForm_C);
        QVERIFY2(pdfText.count(Expected) >= 7, qPrintable(pdfText));
        return;
    }
    const uno::Reference<lang::XComponent> converted = load(path(target));
    QVERIFY(converted.is());
    QStringList faults;
    QString commentFault;
    for (const auto &[place, placeText] : writerPlaces(converted)) {
        if (lostByTheFormat.contains(place)) {
            continue;
        }
        const QString fault = checkConverted(placeText);
        if (place == u"comment") {
            commentFault = fault;
        } else if (!fault.isEmpty()) {
            faults.append(place + QStringLiteral(": ") + fault);
        }
    }
    close(converted);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    QEXPECT_FAIL("rtf to doc", "in a comment read from RTF, the first stretch keeps the phonetic face",
                 Continue);
    QVERIFY2(commentFault.isEmpty(), qPrintable(commentFault));
}

void TestConvertOffice::calcAndImpress_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("target");

    QTest::newRow("xlsx to ods") << "source.xlsx"
                                 << "out6.ods";
    QTest::newRow("odp to pptx") << "source.odp"
                                 << "out7.pptx";
}

void TestConvertOffice::calcAndImpress()
{
    QFETCH(QString, source);
    QFETCH(QString, target);
    const bool presentation = source.endsWith(QLatin1String("p")) || source.endsWith(QLatin1String("pptx"));
    if (presentation && !m_impress) {
        QSKIP("Impress is not installed");
    }
    const Run run = runConvert({path(source), path(target)});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    const uno::Reference<lang::XComponent> converted = load(path(target));
    QVERIFY(converted.is());
    std::vector<std::pair<QString, uno::Reference<text::XText>>> places;
    if (presentation) {
        const uno::Reference<container::XIndexAccess> pages(
            uno::Reference<drawing::XDrawPagesSupplier>(converted, uno::UNO_QUERY_THROW)->getDrawPages(),
            uno::UNO_QUERY_THROW);
        const uno::Reference<drawing::XShapes> slide(pages->getByIndex(0), uno::UNO_QUERY_THROW);
        places = {{QStringLiteral("slide"), shapeText(slide)},
                  {QStringLiteral("notes"), shapeText(notesOf(slide))},
                  {QStringLiteral("master"), shapeText(masterOf(slide))}};
    } else {
        const uno::Reference<container::XIndexAccess> sheets(
            uno::Reference<sheet::XSpreadsheetDocument>(converted, uno::UNO_QUERY_THROW)->getSheets(),
            uno::UNO_QUERY_THROW);
        const uno::Reference<sheet::XSpreadsheet> first(sheets->getByIndex(0), uno::UNO_QUERY_THROW);
        places = {{QStringLiteral("cell"),
                   uno::Reference<text::XText>(first->getCellByPosition(1, 2), uno::UNO_QUERY_THROW)},
                  {QStringLiteral("shape"), shapeText(shapesOf(first))}};
    }
    QStringList faults;
    for (const auto &[place, placeText] : places) {
        const QString fault = checkConverted(placeText);
        if (!fault.isEmpty()) {
            faults.append(place + QStringLiteral(": ") + fault);
        }
    }
    close(converted);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
}

void TestConvertOffice::badInput_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    QTest::newRow("missing file") << "nothing.odt"
                                  << "bad1.odt" << QStringList() << 1 << "no such file";
    QTest::newRow("a folder") << "folder"
                              << "bad2.odt" << QStringList() << 1 << "not a file";
    QTest::newRow("zero bytes") << "empty.odt"
                                << "bad3.odt" << QStringList() << 1 << "empty";
    QTest::newRow("corrupt docx") << "corrupt.docx"
                                  << "bad4.odt" << QStringList() << 1 << "cannot";
    QTest::newRow("password") << "locked.odt"
                              << "bad5.odt" << QStringList() << 1 << "password";
    QTest::newRow("OUT is IN") << "source.odt"
                               << "source.odt" << QStringList() << 2 << "never written over";
    QTest::newRow("OUT exists") << "source.odt"
                                << "source.docx" << QStringList() << 2 << "--force";
    QTest::newRow("OUT in a missing folder")
        << "source.odt"
        << "no/such/out.odt" << QStringList() << 1 << "folder does not exist";
    QTest::newRow("unknown format") << "source.odt"
                                    << "bad6.xyz" << QStringList() << 1 << "unknown format";
    QTest::newRow("unknown option") << "source.odt"
                                    << "bad8.odt" << QStringList{"--bogus"} << 2 << "unknown option";
    QTest::newRow("OUT missing") << "source.odt" << QString() << QStringList() << 2 << "IN and OUT";
}

void TestConvertOffice::badInput()
{
    QFETCH(QString, in);
    QFETCH(QString, out);
    QFETCH(QStringList, extra);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QDir(m_dir.path()).mkpath(QStringLiteral("folder"));
    QFile(path("empty.odt")).open(QIODevice::WriteOnly);
    {
        QFile corrupt(path("corrupt.docx"));
        QVERIFY(corrupt.open(QIODevice::WriteOnly));
        corrupt.write(QByteArray("PK\x03\x04", 4) + QByteArray(3000, '\x5A'));
    }
    const QByteArray before = sha1Of(path(in));
    QStringList args{path(in)};
    if (!out.isEmpty()) {
        args.append(path(out));
    }
    args.append(extra);
    const Run run = runConvert(args);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(message, Qt::CaseInsensitive), qPrintable(run.err));
    QVERIFY2(run.err.startsWith(QLatin1String("sprelio-convert: ")), qPrintable(run.err));
    QCOMPARE(sha1Of(path(in)), before);
}

void TestConvertOffice::documentOpenInAnotherOffice()
{
    QVERIFY(QFile::copy(path("source.odt"), path("open.odt")));
    // What the user's office leaves beside a document it has open.
    const QString lock = path(".~lock.open.odt#");
    const QByteArray owner =
        "someone," + QSysInfo::machineHostName().toUtf8() + ",someone,11.12.2026 09:00,;";
    {
        QFile file(lock);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(owner);
    }
    const Run run = runConvert({path("open.odt"), path("open-unicode.odt")});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY(QFileInfo(path("open-unicode.odt")).size() > 0);
    QFile file(lock);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), owner);
}

void TestConvertOffice::officeEndsWhileStarting()
{
    // The office's own program folder, but a soffice that ends at once.
    const QString soffice =
        QFileInfo(QStandardPaths::findExecutable(QStringLiteral("soffice"))).canonicalFilePath();
    QVERIFY(!soffice.isEmpty());
    const QDir program = QFileInfo(soffice).absoluteDir();
    QDir(m_dir.path()).mkpath(QStringLiteral("program"));
    for (const QString &name : program.entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        if (name != QLatin1String("soffice")) {
            QVERIFY(QFile::link(program.filePath(name), path("program/" + name)));
        }
    }
    {
        QFile ending(path("program/soffice"));
        QVERIFY(ending.open(QIODevice::WriteOnly));
        ending.write("#!/bin/sh\nexit 3\n");
        QVERIFY(ending.setPermissions(ending.permissions() | QFile::ExeOwner));
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("UNO_PATH"), path("program"));
    const Run run = runConvert({path("source.odt"), path("never.odt")}, environment);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QLatin1String("LibreOffice ended while it started (exit code 3)")),
             qPrintable(run.err));
    QVERIFY(!QFile::exists(path("never.odt")));
}

QTEST_GUILESS_MAIN(TestConvertOffice)
#include "tst_convert_office.moc"
