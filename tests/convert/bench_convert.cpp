// Measures sprelio-convert on a long document: 200 pages of Writer text with 20,000 stretches in a
// phonetic face, made over UNO, converted by the real program with the start of its office.
// Asserts nothing; run it under an X server: support/with-xvfb.sh bench_convert [FOLDER]. A FOLDER
// that holds long.odt from an earlier run keeps that document.

#include "targets/officefixture.h"

#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/document/XDocumentInsertable.hpp>
#include <com/sun/star/style/BreakType.hpp>
#include <com/sun/star/text/ControlCharacter.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextDocument.hpp>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <array>
#include <cstdio>

using namespace OfficeFixture;
namespace awt = com::sun::star::awt;

namespace {

constexpr int Pages = 200;
constexpr int StretchesPerPage = 100;
constexpr int ParagraphsPerPage = 10;
constexpr float PointSize = 11.0F;

struct Stretch
{
    QByteArray glyphs;
    bool bold;
};

// One phonetic word after each piece of plain text: most in one stretch, some split between a bold
// base and its unbolded mark, as a corrected transcription is.
const std::vector<std::vector<Stretch>> Words = {
    {{"[`St\x86\x61:sE]", false}}, {{"n", true}, {"$", false}},    {{"t\xD4S", false}},
    {{"/b\x41:n/", false}},        {{"k", true}, {"\xDD", false}},
};

QString symbolText(const QByteArray &glyphs)
{
    QString result;
    for (const char byte : glyphs) {
        result.append(QChar(static_cast<char16_t>(0xF000 + static_cast<unsigned char>(byte))));
    }
    return result;
}

void append(const uno::Reference<text::XText> &target, const uno::Reference<text::XTextCursor> &cursor,
            const QString &piece, const char *face, bool bold)
{
    target->insertString(cursor.get(), ou(piece), false);
    cursor->goLeft(static_cast<sal_Int16>(piece.size()), true);
    const uno::Reference<beans::XMultiPropertySet> properties(cursor, uno::UNO_QUERY_THROW);
    // Sorted by name, as the office wants them.
    const std::array<OUString, 3> names{"CharFontName", "CharHeight", "CharWeight"};
    const std::array<uno::Any, 3> values{uno::Any(OUString::createFromAscii(face)), uno::Any(PointSize),
                                         uno::Any(bold ? awt::FontWeight::BOLD : awt::FontWeight::NORMAL)};
    properties->setPropertyValues(uno::Sequence<OUString>(names.data(), names.size()),
                                  uno::Sequence<uno::Any>(values.data(), values.size()));
    cursor->collapseToEnd();
}

// One page: paragraphs of plain text, each with its share of phonetic words.
int makePage(const uno::Reference<frame::XComponentLoader> &loader, const QString &path)
{
    const uno::Reference<lang::XComponent> document = loader->loadComponentFromURL(
        "private:factory/swriter", "_blank", 0, properties({{"Hidden", uno::Any(true)}}));
    const uno::Reference<text::XText> body =
        uno::Reference<text::XTextDocument>(document, uno::UNO_QUERY_THROW)->getText();
    const uno::Reference<text::XTextCursor> cursor = body->createTextCursorByRange(body->getEnd());
    int stretches = 0;
    int word = 0;
    for (int paragraph = 0; paragraph < ParagraphsPerPage; ++paragraph) {
        const int perParagraph = StretchesPerPage / ParagraphsPerPage;
        int inParagraph = 0;
        while (inParagraph < perParagraph) {
            append(body, cursor, QStringLiteral(" was written as "), "Liberation Serif", false);
            const std::vector<Stretch> *next = &Words[static_cast<std::size_t>(word) % Words.size()];
            // The last stretch of a paragraph is a word of one stretch, so that the count comes out even.
            if (static_cast<int>(next->size()) > perParagraph - inParagraph) {
                next = &Words.front();
            }
            for (const Stretch &stretch : *next) {
                append(body, cursor, symbolText(stretch.glyphs), "Lautbild Serif", stretch.bold);
                ++inParagraph;
            }
            ++word;
        }
        stretches += inParagraph;
        append(body, cursor, QStringLiteral(" and so on."), "Liberation Serif", false);
        body->insertControlCharacter(cursor.get(), text::ControlCharacter::PARAGRAPH_BREAK, false);
    }
    uno::Reference<frame::XStorable>(document, uno::UNO_QUERY_THROW)
        ->storeToURL(ou(QUrl::fromLocalFile(path).toString()),
                     properties({{"FilterName", uno::Any(OUString("writer8"))}}));
    uno::Reference<com::sun::star::util::XCloseable>(document, uno::UNO_QUERY_THROW)->close(true);
    return stretches;
}

// The document: the page inserted again and again, each time on a page of its own.
int makeDocument(const QString &folder, const QString &path)
{
    Office office;
    const QString failure = office.start();
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "bench_convert: %s\n", qPrintable(failure));
        return -1;
    }
    const uno::Reference<frame::XComponentLoader> loader(office.desktop(), uno::UNO_QUERY_THROW);
    const QString pagePath = QDir(folder).filePath(QStringLiteral("page.odt"));
    const int perPage = makePage(loader, pagePath);
    const uno::Reference<lang::XComponent> document = loader->loadComponentFromURL(
        "private:factory/swriter", "_blank", 0, properties({{"Hidden", uno::Any(true)}}));
    const uno::Reference<text::XText> body =
        uno::Reference<text::XTextDocument>(document, uno::UNO_QUERY_THROW)->getText();
    const uno::Reference<text::XTextCursor> cursor = body->createTextCursorByRange(body->getEnd());
    for (int page = 0; page < Pages; ++page) {
        if (page > 0) {
            body->insertControlCharacter(cursor.get(), text::ControlCharacter::PARAGRAPH_BREAK, false);
            setUnoProperty(cursor, "BreakType", uno::Any(com::sun::star::style::BreakType_PAGE_BEFORE));
        }
        uno::Reference<com::sun::star::document::XDocumentInsertable>(cursor, uno::UNO_QUERY_THROW)
            ->insertDocumentFromURL(ou(QUrl::fromLocalFile(pagePath).toString()), {});
        cursor->gotoEnd(false);
    }
    uno::Reference<frame::XStorable>(document, uno::UNO_QUERY_THROW)
        ->storeToURL(ou(QUrl::fromLocalFile(path).toString()),
                     properties({{"FilterName", uno::Any(OUString("writer8"))}}));
    uno::Reference<com::sun::star::util::XCloseable>(document, uno::UNO_QUERY_THROW)->close(true);
    return perPage * Pages;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temporary;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    QDir().mkpath(folder);
    const QString source = QDir(folder).filePath(QStringLiteral("long.odt"));
    // A document made by an earlier run in the same folder is converted again as it is.
    if (!QFileInfo::exists(source)) {
        const int stretches = makeDocument(folder, source);
        if (stretches < 0) {
            return 1;
        }
        std::printf("document: %d phonetic stretches on %d pages\n", stretches, Pages);
    }
    std::printf("%s: %lld bytes\n", qPrintable(source), static_cast<long long>(QFileInfo(source).size()));
    std::fflush(stdout);

    for (const char *extension : {"odt", "docx"}) {
        const QString target =
            QDir(folder).filePath(QStringLiteral("long-unicode.") + QLatin1String(extension));
        QFile::remove(target);
        QProcess convert;
        convert.setProcessChannelMode(QProcess::ForwardedChannels);
        QElapsedTimer timer;
        timer.start();
        convert.start(QStringLiteral(SPRELIO_CONVERT), {source, target});
        const bool finished = convert.waitForStarted(30000) && convert.waitForFinished(1800000);
        const double seconds = static_cast<double>(timer.elapsed()) / 1000.0;
        std::printf("sprelio-convert to .%s: %.1f s, exit %d%s\n", extension, seconds,
                    finished ? convert.exitCode() : -1, finished ? "" : " (did not finish)");
        std::fflush(stdout);
        if (!finished) {
            convert.kill();
            convert.waitForFinished(10000);
        }
    }
    return 0;
}
