// sprelio-send: runs one send routine through this platform's real bridge, without the window,
// and prints what the routine did, one line per event, for scripts to read. Where it is built with
// the core, it also prints a transcription in a plain-text notation (--print).

#include "i18n/stringtable.h"
#include "targets/automationroutines.h"

#if defined(SPRELIO_WITH_NOTATIONS)
#include "palette/notations.h"
#endif

#include <cstdio>
#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif
#include <optional>
#include <string>
#include <string_view>

namespace {

using namespace Sprelio;

constexpr int GermanOffset = 0;
constexpr int EnglishOffset = 10000;

void printLine(const std::string &line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Prints the events instead of acting on a window.
class PrintingHost final : public SendHost
{
public:
    void CopyEditToClipboard(int pointSize) override { printLine("copy " + std::to_string(pointSize)); }
    void bringToFront() override { printLine("front"); }
    void MessageInfo(std::uint16_t stringId) override { printLine("info " + std::to_string(stringId)); }
};

struct Options
{
    std::string target;
    RoutineInputs inputs{{}, "Lautbild Serif", false, false};
    int languageOffset = EnglishOffset;
    /// The notation named after --print; empty when a target is to be run.
    std::string print;
};

std::optional<std::string> fromHex(std::string_view hex)
{
    if (hex.size() % 2 != 0) {
        return std::nullopt;
    }
    std::string bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        unsigned value = 0;
        for (const char c : hex.substr(i, 2)) {
            value <<= 4U;
            if (c >= '0' && c <= '9') {
                value |= static_cast<unsigned>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                value |= static_cast<unsigned>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                value |= static_cast<unsigned>(c - 'A' + 10);
            } else {
                return std::nullopt;
            }
        }
        bytes += static_cast<char>(value);
    }
    return bytes;
}

std::optional<Options> parse(int argc, char **argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--bold") {
            options.inputs.bold = true;
        } else if (arg == "--italic") {
            options.inputs.italic = true;
        } else if (arg == "--face" && hasValue) {
            options.inputs.faceName = argv[++i];
        } else if (arg == "--text" && hasValue) {
            const std::optional<std::string> text = fromHex(argv[++i]);
            if (!text) {
                return std::nullopt;
            }
            options.inputs.text = *text;
        } else if (arg == "--lang" && hasValue) {
            const std::string_view lang = argv[++i];
            if (lang != "de" && lang != "en") {
                return std::nullopt;
            }
            options.languageOffset = lang == "de" ? GermanOffset : EnglishOffset;
#if defined(SPRELIO_WITH_NOTATIONS)
        } else if (arg == "--print" && hasValue) {
            options.print = argv[++i];
            if (!notationNamed(options.print)) {
                return std::nullopt;
            }
#endif
        } else if (options.target.empty() && !arg.starts_with("-")) {
            options.target = arg;
        } else {
            return std::nullopt;
        }
    }
    // Either a target to run or a notation to print, not both.
    if (options.target.empty() == options.print.empty()) {
        return std::nullopt;
    }
    return options;
}

constexpr const char *Usage =
    "usage: sprelio-send TARGET [--face NAME] [--bold] [--italic] [--text HEX] [--lang de|en]\n"
#if defined(SPRELIO_WITH_NOTATIONS)
    "       sprelio-send --print unicode|xsampa|tipa|praat --text HEX\n"
#endif
    "  TARGET: word | excel | powerpoint | openoffice\n"
    "  This tool copies nothing to the clipboard: the targets paste whatever it holds.\n"
    "  openoffice reaches the running LibreOffice (or starts one) over a local pipe.\n"
#if defined(SPRELIO_WITH_NOTATIONS)
    "  --print writes the glyph string HEX in that notation to standard output, in UTF-8.\n"
#endif
    ;

#if defined(SPRELIO_WITH_NOTATIONS)
int printNotation(const Options &options)
{
    const QByteArray glyphs(options.inputs.text.data(), qsizetype(options.inputs.text.size()));
    printLine(glyphsToNotation(*notationNamed(options.print), glyphs).toStdString());
    return std::ferror(stdout) != 0 ? 1 : 0;
}
#endif

} // namespace

int main(int argc, char **argv)
{
#if defined(_WIN32)
    // The same bytes on every platform: UTF-8 lines ending in a bare line feed.
    _setmode(_fileno(stdout), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
#endif
    const std::optional<Options> options = parse(argc, argv);
#if defined(SPRELIO_WITH_NOTATIONS)
    if (options && !options->print.empty()) {
        return printNotation(*options);
    }
#endif
    using Routine = void (*)(AutomationBridge &, SendHost &, const RoutineInputs &);
    Routine routine = nullptr;
    bool office = false;
    if (options) {
        if (options->target == "word") {
            routine = &SendToWord;
        } else if (options->target == "excel") {
            routine = &SendToExcel;
        } else if (options->target == "powerpoint") {
            routine = &SendToPowerPoint;
        } else if (options->target == "openoffice") {
            routine = &SendToOpenOffice;
            office = true;
        }
    }
    if (routine == nullptr) {
        std::fputs(Usage, stderr);
        return 2;
    }

    const AutomationThread automationThread;
    const std::unique_ptr<AutomationBridge> bridge = office ? createOfficeBridge() : createPlatformBridge();
    PrintingHost host;
    try {
        routine(*bridge, host, options->inputs);
    } catch (const RoutineError &error) {
        printLine("error " + langStrUtf8(error.stringId(), options->languageOffset) + error.suffix());
        return 1;
    } catch (const std::exception &error) {
        printLine(std::string("error ") + error.what());
        return 1;
    }
    printLine("ok");
    return 0;
}
