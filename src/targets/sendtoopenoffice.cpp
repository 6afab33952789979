#include "targets/automationroutines.h"

#include <optional>

namespace Sprelio {

namespace {

constexpr std::uint16_t ErrorPastingToWriter = 20;
constexpr std::uint16_t ErrorPastingToCalc = 21;
constexpr std::uint16_t ErrorPastingToOffice = 22;
// What the office pastes into a document that has neither a text cursor nor a sheet.
constexpr int OtherDocumentPointSize = 12;
// The office's values for a symbol face's character set, and for weight and posture.
constexpr std::int32_t SymbolCharSet = 2;
constexpr double NormalWeight = 100.0;
constexpr double BoldWeight = 150.0;
constexpr std::int32_t UprightPosture = 0;
constexpr std::int32_t ItalicPosture = 2;

using Arg = AutomationArgument;

// The send fails with the message of code; what failed underneath goes to the log.
[[noreturn]] void fail(std::uint16_t code, std::string_view step, const std::exception &error,
                       std::string_view before = {})
{
    std::string cause(before);
    cause.append(step).append(": ").append(error.what());
    throw RoutineError(code, {}, std::move(cause));
}

// The office's own Paste command on the frame of the controller, as a user would paste.
void pasteDispatch(const AutomationValue &dispatchHelper, const AutomationValue &controller)
{
    dispatchHelper.call("executeDispatch",
                        {Arg::variantByRef(controller), Arg::string(".uno:Paste"), Arg::string(""),
                         Arg::int32(0), Arg::variant(AutomationEmptyArray{})});
}

struct Office
{
    AutomationValue serviceManager;
    AutomationValue desktop;
    AutomationValue document;
    AutomationValue controller;
    AutomationValue dispatchHelper;
};

// The glyphs as the office holds text in a symbol face: each byte at the private code that the
// face maps to that glyph, U+F000 + byte.
std::string symbolText(const std::string &glyphs)
{
    std::string text;
    text.reserve(glyphs.size() * 3);
    for (const char glyph : glyphs) {
        const unsigned code = 0xF000U + static_cast<unsigned char>(glyph);
        text += static_cast<char>(0xE0U | (code >> 12U));
        text += static_cast<char>(0x80U | ((code >> 6U) & 0x3FU));
        text += static_cast<char>(0x80U | (code & 0x3FU));
    }
    return text;
}

// Gives the characters of range the phonetic face and the field's style, as the pasted rich
// text would have them. Set as properties, so that the office turns the numbers into its own types.
void setGlyphFace(const AutomationValue &range, const RoutineInputs &inputs)
{
    range.put("CharFontName", Arg::string(inputs.faceName));
    range.put("CharFontCharSet", Arg::int32(SymbolCharSet));
    range.put("CharWeight", Arg::variant(inputs.bold ? BoldWeight : NormalWeight));
    range.put("CharPosture", Arg::int32(inputs.italic ? ItalicPosture : UprightPosture));
}

// Writes the glyphs at the view cursor in the phonetic face at the cursor's own height, in
// place of a selection, as a paste would; then gives the cursor back its face and style and
// types a space after the string. The clipboard gets the line as well, as after a paste.
//
// The text goes in directly rather than through the office's Paste: under X11 the office keeps
// the list of formats it last saw on the clipboard for two seconds, whoever owns the clipboard
// since, and pastes the plain text when that list came from another program.
void pasteIntoText(const AutomationValue &viewCursor, SendHost &host, const RoutineInputs &inputs)
{
    try {
        const AutomationValue height = viewCursor.get("GetPropertyValue", {Arg::string("CharHeight")});
        const AutomationValue fontName = viewCursor.get("GetPropertyValue", {Arg::string("CharFontName")});
        const AutomationValue weight = viewCursor.get("GetPropertyValue", {Arg::string("CharWeight")});
        const AutomationValue posture = viewCursor.get("GetPropertyValue", {Arg::string("CharPosture")});
        host.CopyEditToClipboard(height.toInteger());
        const AutomationValue text = viewCursor.get("getText");
        text.call("InsertString",
                  {Arg::variantByRef(viewCursor), Arg::string(symbolText(inputs.text)), Arg::boolean(true)});
        // The inserted glyphs, selected backwards from the cursor behind them. Writer leaves the
        // cursor over the inserted text with its moving end in front: without the collapse the
        // selection would reach back over as many characters of the text before.
        viewCursor.call("collapseToEnd");
        viewCursor.call("goLeft",
                        {Arg::int32(static_cast<std::int32_t>(inputs.text.size())), Arg::boolean(true)});
        setGlyphFace(viewCursor, inputs);
        viewCursor.call("collapseToEnd");
        viewCursor.call("SetPropertyValue", {Arg::string("CharFontName"), Arg::variantByRef(fontName)});
        viewCursor.call("SetPropertyValue", {Arg::string("CharWeight"), Arg::variantByRef(weight)});
        viewCursor.call("SetPropertyValue", {Arg::string("CharPosture"), Arg::variantByRef(posture)});
        text.call("InsertString", {Arg::variantByRef(viewCursor), Arg::string(" "), Arg::boolean(false)});
    } catch (const std::exception &error) {
        fail(ErrorPastingToWriter, "pasting into the text", error);
    }
}

std::int32_t firstSelectedCell(const AutomationValue &selection, const char *coordinate)
{
    return selection.get("getCellByPosition", {Arg::int32(0), Arg::int32(0)})
        .get("getCellAddress")
        .get(coordinate)
        .toInteger();
}

// Pastes into the first cell of the selection at that cell's height.
void pasteIntoSheet(const Office &office, const AutomationValue &sheet, SendHost &host,
                    const RoutineInputs &inputs)
{
    try {
        const AutomationValue selection = office.document.get("getCurrentSelection");
        const std::int32_t row = firstSelectedCell(selection, "Row");
        const std::int32_t column = firstSelectedCell(selection, "Column");
        const AutomationValue cell =
            sheet.get("getCellByPosition", {Arg::int32ByRef(column), Arg::int32ByRef(row)});
        const AutomationValue height = cell.get("GetPropertyValue", {Arg::string("CharHeight")});
        host.CopyEditToClipboard(height.toInteger());
        // Written directly, for the same reason as in a text.
        cell.call("setString", {Arg::string(symbolText(inputs.text))});
        setGlyphFace(cell, inputs);
    } catch (const std::exception &error) {
        fail(ErrorPastingToCalc, "pasting into the sheet", error);
    }
}

// The value that get gives, or none when it fails; then why, after what the notes hold.
template <typename Get>
std::optional<AutomationValue> attempt(Get &&get, const char *what, std::string &notes)
{
    try {
        return get();
    } catch (const std::exception &error) {
        notes.append(what).append(": ").append(error.what()).append("; ");
        return std::nullopt;
    }
}

void pasteIntoDocument(const Office &office, SendHost &host, const RoutineInputs &inputs)
{
    std::string notes;
    if (const auto viewCursor = attempt(
            [&] {
                return office.desktop.get("CurrentComponent").get("CurrentController").get("getViewCursor");
            },
            "no text cursor", notes)) {
        pasteIntoText(*viewCursor, host, inputs);
        return;
    }
    if (const auto sheet =
            attempt([&] { return office.document.get("getCurrentController").get("getActiveSheet"); },
                    "no sheet", notes)) {
        pasteIntoSheet(office, *sheet, host, inputs);
        return;
    }
    try {
        host.CopyEditToClipboard(OtherDocumentPointSize);
        pasteDispatch(office.dispatchHelper, office.controller);
    } catch (const std::exception &error) {
        fail(ErrorPastingToOffice, "pasting", error, notes);
    }
}

} // namespace

void SendToOpenOffice(AutomationBridge &bridge, SendHost &host, const RoutineInputs &inputs)
{
    Office office;
    try {
        // Always a new service manager: it reaches the running office, or starts one.
        office.serviceManager = bridge.create("com.sun.star.ServiceManager");
        office.desktop =
            office.serviceManager.get("createInstance", {Arg::string("com.sun.star.frame.Desktop")});
        office.document = office.desktop.get("getCurrentComponent");
        office.controller = office.document.get("getCurrentcontroller");
        office.dispatchHelper =
            office.serviceManager.get("CreateInstance", {Arg::string("com.sun.star.frame.DispatchHelper")});
        pasteIntoDocument(office, host, inputs);
    } catch (const RoutineError &) {
        host.bringToFront();
        throw;
    } catch (const std::exception &error) {
        host.bringToFront();
        fail(ErrorPastingToOffice, "reaching the document", error);
    }
}

} // namespace Sprelio
