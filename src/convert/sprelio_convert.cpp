// sprelio-convert: turns the text of a document that is set in the phonetic faces into Unicode IPA
// in a face that every reader has, keeping all other formatting, and writes the result as a new
// document in the format that its name asks for.

#include "convert/documentconversion.h"

#include "convert/officesession.h"
#include "uno/unostrings.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/task/XInteractionAbort.hpp>
#include <com/sun/star/task/XInteractionHandler.hpp>
#include <com/sun/star/task/XInteractionRequest.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/implbase1.hxx>
#include <rtl/ref.hxx>

#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>
#include <QUuid>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <optional>
#include <thread>

namespace {

using namespace Sprelio;
namespace uno = com::sun::star::uno;
namespace beans = com::sun::star::beans;
namespace frame = com::sun::star::frame;
namespace lang = com::sun::star::lang;
namespace task = com::sun::star::task;
using rtl::OUString;

constexpr int Done = 0;
constexpr int Failed = 1;
constexpr int WrongCommandLine = 2;
constexpr int DefaultTimeLimitSeconds = 300;

const char *const Usage =
    "usage: sprelio-convert IN OUT [--font NAME]... [--to FACE] [--force] [--timeout SECONDS] [--porcelain]\n"
    "Converts the text of IN that is set in Lautbild Serif, Lautbild Sans Serif or a face named with\n"
    "--font into Unicode IPA set in FACE (default Charis SIL) and writes OUT in the format that its\n"
    "extension names (.odt .docx .doc .rtf .ods .xlsx .xls .odp .pptx .ppt .odg .pdf).\n"
    "Exit codes: 0 done, 1 the document could not be read, converted or written, 2 wrong command line.\n"
    "--porcelain prints the result for programs, tab-separated: converted STRETCHES SYMBOLS FACE FOUND...\n"
    "or timeout SECONDS; a failure's message goes to standard error as always.\n"
    "SIGTERM, SIGINT and SIGHUP end the office, remove what was half written and exit with 1.\n";

void printLine(FILE *stream, const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

int fail(const QString &message)
{
    printLine(stderr, QStringLiteral("sprelio-convert: ") + message);
    return Failed;
}

int wrongCommandLine(const QString &message)
{
    printLine(stderr, QStringLiteral("sprelio-convert: ") + message);
    std::fputs(Usage, stderr);
    return WrongCommandLine;
}

struct Options
{
    QString in;
    QString out;
    ConversionOptions conversion;
    bool force = false;
    bool porcelain = false;
    int timeLimitSeconds = DefaultTimeLimitSeconds;
};

std::optional<Options> parse(const QStringList &args, QString &problem)
{
    Options options;
    QStringList files;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--font") && hasValue) {
            options.conversion.extraFaces.append(args[++i]);
        } else if (arg == QLatin1String("--to") && hasValue && !args[i + 1].trimmed().isEmpty()) {
            options.conversion.targetFace = args[++i].trimmed();
        } else if (arg == QLatin1String("--force")) {
            options.force = true;
        } else if (arg == QLatin1String("--porcelain")) {
            options.porcelain = true;
        } else if (arg == QLatin1String("--timeout") && hasValue) {
            bool ok = false;
            options.timeLimitSeconds = args[++i].toInt(&ok);
            if (!ok || options.timeLimitSeconds <= 0) {
                problem = QStringLiteral("--timeout needs a number of seconds");
                return std::nullopt;
            }
        } else if (arg == QLatin1String("--")) {
            files.append(args.mid(i + 1));
            break;
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            problem = QStringLiteral("unknown option or missing value: ") + arg;
            return std::nullopt;
        } else {
            files.append(arg);
        }
    }
    if (files.size() != 2) {
        problem = QStringLiteral("IN and OUT are needed, and nothing else");
        return std::nullopt;
    }
    options.in = files[0];
    options.out = files[1];
    return options;
}

// The export filter for an extension and a kind of document; empty where the office has none.
QString filterFor(const QString &extension, DocumentKind kind)
{
    struct Filter
    {
        const char *extension;
        DocumentKind kind;
        const char *name;
    };
    static constexpr Filter Filters[] = {
        {"odt", DocumentKind::Text, "writer8"},
        {"docx", DocumentKind::Text, "MS Word 2007 XML"},
        {"doc", DocumentKind::Text, "MS Word 97"},
        {"rtf", DocumentKind::Text, "Rich Text Format"},
        {"pdf", DocumentKind::Text, "writer_pdf_Export"},
        {"ods", DocumentKind::Spreadsheet, "calc8"},
        {"xlsx", DocumentKind::Spreadsheet, "Calc MS Excel 2007 XML"},
        {"xls", DocumentKind::Spreadsheet, "MS Excel 97"},
        {"pdf", DocumentKind::Spreadsheet, "calc_pdf_Export"},
        {"odp", DocumentKind::Presentation, "impress8"},
        {"pptx", DocumentKind::Presentation, "Impress MS PowerPoint 2007 XML"},
        {"ppt", DocumentKind::Presentation, "MS PowerPoint 97"},
        {"odg", DocumentKind::Presentation, "impress_draw8"},
        {"pdf", DocumentKind::Presentation, "impress_pdf_Export"},
        {"odg", DocumentKind::Drawing, "draw8"},
        {"pdf", DocumentKind::Drawing, "draw_pdf_Export"},
    };
    for (const Filter &filter : Filters) {
        if (filter.kind == kind &&
            extension.compare(QLatin1String(filter.extension), Qt::CaseInsensitive) == 0) {
            return QString::fromLatin1(filter.name);
        }
    }
    return {};
}

bool knownExtension(const QString &extension)
{
    for (const DocumentKind kind :
         {DocumentKind::Text, DocumentKind::Spreadsheet, DocumentKind::Presentation, DocumentKind::Drawing}) {
        if (!filterFor(extension, kind).isEmpty()) {
            return true;
        }
    }
    return false;
}

bool sameFile(const QString &a, const QString &b)
{
    struct stat first
    {
    };
    struct stat second
    {
    };
    if (::stat(QFile::encodeName(a).constData(), &first) != 0 ||
        ::stat(QFile::encodeName(b).constData(), &second) != 0) {
        return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
    }
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// Answers every question the office would ask a user with "abort", so that a password, a repair
// or a filter-option question makes the load fail instead of waiting for a click.
class RefusingInteraction final : public cppu::WeakImplHelper1<task::XInteractionHandler>
{
public:
    void SAL_CALL handle(const uno::Reference<task::XInteractionRequest> &request) override
    {
        m_asked.append(toQString(request->getRequest().getValueTypeName()));
        for (const auto &continuation : request->getContinuations()) {
            const uno::Reference<task::XInteractionAbort> abort(continuation, uno::UNO_QUERY);
            if (abort.is()) {
                abort->select();
                return;
            }
        }
    }

    /// The types of the questions asked, in order.
    QStringList asked() const { return m_asked; }

private:
    QStringList m_asked;
};

uno::Sequence<beans::PropertyValue> properties(std::initializer_list<std::pair<const char *, uno::Any>> list)
{
    uno::Sequence<beans::PropertyValue> sequence(static_cast<sal_Int32>(list.size()));
    beans::PropertyValue *out = sequence.getArray();
    for (const auto &[name, value] : list) {
        out->Name = OUString::createFromAscii(name);
        out->Value = value;
        ++out;
    }
    return sequence;
}

// Closes the document when the conversion ends, however it ends.
class OpenDocument
{
public:
    explicit OpenDocument(const uno::Reference<lang::XComponent> &document)
        : m_document(document)
    {}
    ~OpenDocument()
    {
        try {
            const uno::Reference<com::sun::star::util::XCloseable> closeable(m_document, uno::UNO_QUERY);
            if (closeable.is()) {
                closeable->close(true);
            }
        } catch (const uno::Exception &) {
            // The office may have gone; its end closes the document.
        }
    }
    OpenDocument(const OpenDocument &) = delete;
    OpenDocument &operator=(const OpenDocument &) = delete;
    const uno::Reference<lang::XComponent> &get() const { return m_document; }

private:
    uno::Reference<lang::XComponent> m_document;
};

QString loadFailure(const RefusingInteraction &interaction, const QString &detail)
{
    const QString asked = interaction.asked().join(QStringLiteral(", "));
    if (asked.contains(QLatin1String("Password"), Qt::CaseInsensitive)) {
        return QStringLiteral("the document is protected by a password");
    }
    if (!asked.isEmpty()) {
        return QStringLiteral("the document cannot be opened without a question to the user (%1)").arg(asked);
    }
    return detail.isEmpty() ? QStringLiteral("the document cannot be read")
                            : QStringLiteral("the document cannot be read: ") + detail;
}

// A stop asked for by a signal (the window's cancel button sends SIGTERM, a terminal SIGINT) ends
// the office, so that it does not live on without its converter; the conversion then fails at its next
// call into the office and removes what it had half written.
std::mutex signalledSessionMutex;
OfficeSession *signalledSession = nullptr;
std::atomic<bool> stopSignalled{false};

void stopOnSignals()
{
    // Blocked before any other thread exists, so that only the waiting thread takes them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
        sigaddset(&stopSignals, number);
    }
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::thread([stopSignals] {
        for (;;) {
            int received = 0;
            if (sigwait(&stopSignals, &received) != 0) {
                continue;
            }
            const std::lock_guard lock(signalledSessionMutex);
            stopSignalled = true;
            if (signalledSession == nullptr) {
                // No office runs, and nothing is half written.
                std::fputs("sprelio-convert: stopped on request\n", stderr);
                std::_Exit(Failed);
            }
            signalledSession->stop();
        }
    }).detach();
}

// Makes a session the one that a signal stops while it lives.
class SignalledStop
{
public:
    explicit SignalledStop(OfficeSession &session)
    {
        const std::lock_guard lock(signalledSessionMutex);
        signalledSession = &session;
        if (stopSignalled) {
            session.stop();
        }
    }
    ~SignalledStop()
    {
        const std::lock_guard lock(signalledSessionMutex);
        signalledSession = nullptr;
    }
    SignalledStop(const SignalledStop &) = delete;
    SignalledStop &operator=(const SignalledStop &) = delete;
};

int convert(const Options &options)
{
    const QFileInfo in(options.in);
    if (!in.exists()) {
        return fail(options.in + QStringLiteral(": no such file"));
    }
    if (!in.isFile()) {
        return fail(options.in + QStringLiteral(": not a file"));
    }
    if (!in.isReadable()) {
        return fail(options.in + QStringLiteral(": cannot be read"));
    }
    if (in.size() == 0) {
        return fail(options.in + QStringLiteral(": the file is empty"));
    }

    OfficeSession office(std::chrono::seconds(options.timeLimitSeconds));
    const SignalledStop signalledStop(office);
    const auto officeEnded = [&] { return office.timedOut() || office.stopped(); };
    const auto reportEnded = [&] {
        if (office.stopped()) {
            return fail(QStringLiteral("stopped on request; nothing was written"));
        }
        if (options.porcelain) {
            printLine(stdout, QStringLiteral("timeout\t%1").arg(options.timeLimitSeconds));
        }
        return fail(QStringLiteral("the conversion took longer than %1 s and was stopped")
                        .arg(options.timeLimitSeconds));
    };
    const QString started = office.start();
    if (!started.isEmpty()) {
        return officeEnded() ? reportEnded() : fail(started);
    }

    // The office opens a copy of its own. The document may be open in another office, the user's own
    // among them, whose lock would make the office ask first; and an office opens a file that it may
    // not write read-only, which loses the shapes of some formats. Links in the document still
    // resolve against the document's own place.
    const QTemporaryDir scratch;
    const QString copy = scratch.filePath(in.fileName());
    if (!scratch.isValid() || !QFile::copy(in.absoluteFilePath(), copy) ||
        !QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner)) {
        return fail(options.in + QStringLiteral(": cannot be copied to a temporary folder"));
    }
    const rtl::Reference<RefusingInteraction> interaction(new RefusingInteraction);
    uno::Reference<lang::XComponent> loaded;
    try {
        const uno::Reference<frame::XComponentLoader> loader(office.desktop(), uno::UNO_QUERY_THROW);
        loaded = loader->loadComponentFromURL(
            toOUString(QUrl::fromLocalFile(copy).toString()), OUString("_blank"), 0,
            properties(
                {{"Hidden", uno::Any(true)},
                 {"DocumentBaseURL",
                  uno::Any(toOUString(QUrl::fromLocalFile(in.absoluteFilePath()).toString()))},
                 {"InteractionHandler",
                  uno::Any(uno::Reference<task::XInteractionHandler>(interaction.get()))},
                 {"MacroExecutionMode", uno::Any(com::sun::star::document::MacroExecMode::NEVER_EXECUTE)},
                 {"UpdateDocMode", uno::Any(com::sun::star::document::UpdateDocMode::NO_UPDATE)},
                 {"RepairPackage", uno::Any(false)}}));
    } catch (const uno::Exception &error) {
        if (officeEnded()) {
            return reportEnded();
        }
        return fail(options.in + QStringLiteral(": ") + loadFailure(*interaction, toQString(error.Message)));
    }
    if (!loaded.is()) {
        return officeEnded() ? reportEnded()
                             : fail(options.in + QStringLiteral(": ") + loadFailure(*interaction, {}));
    }
    const OpenDocument document(loaded);

    const QFileInfo out(options.out);
    const QString filter = filterFor(out.suffix(), documentKind(document.get()));
    if (filter.isEmpty()) {
        return fail(QStringLiteral("%1: this kind of document cannot be written as .%2")
                        .arg(options.out, out.suffix()));
    }

    ConversionCounts counts;
    try {
        counts = convertDocument(document.get(), options.conversion);
    } catch (const uno::Exception &error) {
        return officeEnded() ? reportEnded()
                             : fail(QStringLiteral("the conversion failed: ") + toQString(error.Message));
    }

    // Written beside OUT under a passing name first: a failed save leaves an existing OUT whole.
    const QString partial = out.absoluteDir().filePath(
        QStringLiteral(".%1.%2.part").arg(out.fileName(), QUuid::createUuid().toString(QUuid::Id128)));
    try {
        const uno::Reference<frame::XStorable> storable(document.get(), uno::UNO_QUERY_THROW);
        storable->storeToURL(
            toOUString(QUrl::fromLocalFile(partial).toString()),
            properties({{"FilterName", uno::Any(toOUString(filter))}, {"Overwrite", uno::Any(true)}}));
    } catch (const uno::Exception &error) {
        QFile::remove(partial);
        if (officeEnded()) {
            return reportEnded();
        }
        return fail(QStringLiteral("%1: cannot be written: %2").arg(options.out, toQString(error.Message)));
    }
    if (std::rename(QFile::encodeName(partial).constData(),
                    QFile::encodeName(out.absoluteFilePath()).constData()) != 0) {
        QFile::remove(partial);
        return fail(options.out + QStringLiteral(": cannot be written"));
    }

    if (options.porcelain) {
        QStringList fields{QStringLiteral("converted"), QString::number(counts.stretches),
                           QString::number(counts.symbols), options.conversion.targetFace};
        for (const QString &face : counts.faces) {
            fields.append(face);
        }
        printLine(stdout, fields.join(QLatin1Char('\t')));
        return Done;
    }
    if (counts.stretches == 0) {
        printLine(stdout,
                  QStringLiteral("Nothing to convert: no text in a phonetic face. %1 written unchanged.")
                      .arg(options.out));
        return Done;
    }
    QStringList faces;
    for (const QString &face : counts.faces) {
        faces.append(face);
    }
    printLine(stdout,
              QStringLiteral("Converted %1 stretches with %2 symbols into %3; phonetic faces found: %4.")
                  .arg(counts.stretches)
                  .arg(counts.symbols)
                  .arg(options.conversion.targetFace, faces.join(QStringLiteral(", "))));
    return Done;
}

} // namespace

int main(int argc, char **argv)
{
    stopOnSignals();
    const QCoreApplication application(argc, argv);
    if (QCoreApplication::arguments().contains(QStringLiteral("--help"))) {
        std::fputs(Usage, stdout);
        return Done;
    }
    QString problem;
    const std::optional<Options> options = parse(QCoreApplication::arguments(), problem);
    if (!options) {
        return wrongCommandLine(problem);
    }
    const QFileInfo out(options->out);
    if (!knownExtension(out.suffix())) {
        return fail(options->out +
                    QStringLiteral(": unknown format; OUT needs one of the extensions that --help lists"));
    }
    if (sameFile(options->in, options->out)) {
        return wrongCommandLine(QStringLiteral("OUT is IN; the document is never written over"));
    }
    if (!out.absoluteDir().exists()) {
        return fail(options->out + QStringLiteral(": cannot be written: the folder does not exist"));
    }
    if (out.exists() && !options->force) {
        return wrongCommandLine(options->out + QStringLiteral(" exists; --force writes over it"));
    }
    return convert(*options);
}
