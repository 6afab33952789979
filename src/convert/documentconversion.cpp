#include "convert/documentconversion.h"

#include "convert/glyphruns.h"
#include "uno/unostrings.h"

#include <com/sun/star/awt/CharSet.hpp>
#include <com/sun/star/beans/PropertyAttribute.hpp>
#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/beans/XPropertySetInfo.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/document/XUndoManager.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/drawing/XDrawPage.hpp>
#include <com/sun/star/drawing/XDrawPageSupplier.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/drawing/XMasterPagesSupplier.hpp>
#include <com/sun/star/drawing/XShapes.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/presentation/XPresentationPage.hpp>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XEndnotesSupplier.hpp>
#include <com/sun/star/text/XFootnotesSupplier.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextCopy.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextField.hpp>
#include <com/sun/star/text/XTextFieldsSupplier.hpp>
#include <com/sun/star/text/XTextFrame.hpp>
#include <com/sun/star/text/XTextFramesSupplier.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/text/XTextTable.hpp>

#include <algorithm>
#include <array>
#include <map>
#include <vector>

namespace Sprelio {

namespace {

namespace uno = com::sun::star::uno;
namespace beans = com::sun::star::beans;
namespace container = com::sun::star::container;
namespace drawing = com::sun::star::drawing;
namespace lang = com::sun::star::lang;
namespace sheet = com::sun::star::sheet;
namespace text = com::sun::star::text;
using rtl::OUString;

bool supports(const uno::Reference<uno::XInterface> &object, const char *service)
{
    const uno::Reference<lang::XServiceInfo> info(object, uno::UNO_QUERY);
    return info.is() && info->supportsService(OUString::createFromAscii(service));
}

// A property's value, or void where the object has no such property.
uno::Any propertyOf(const uno::Reference<uno::XInterface> &object, const char *name)
{
    const uno::Reference<beans::XPropertySet> set(object, uno::UNO_QUERY);
    if (!set.is()) {
        return {};
    }
    const OUString property = OUString::createFromAscii(name);
    const uno::Reference<beans::XPropertySetInfo> info = set->getPropertySetInfo();
    if (info.is() && !info->hasPropertyByName(property)) {
        return {};
    }
    return set->getPropertyValue(property);
}

// The shapes of a Writer document or a sheet. The supplier is marked as outdated, but Writer and
// Calc offer no other way to their shapes.
uno::Reference<container::XIndexAccess> shapesOf(const uno::Reference<uno::XInterface> &owner)
{
    const uno::Reference<drawing::XDrawPageSupplier> supplier(owner, uno::UNO_QUERY);
    if (!supplier.is()) {
        return {};
    }
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return {supplier->getDrawPage(), uno::UNO_QUERY};
#pragma GCC diagnostic pop
}

void moveRight(const uno::Reference<text::XTextCursor> &cursor, qsizetype count, bool expand)
{
    while (count > 0) {
        const auto step = static_cast<sal_Int16>(std::min<qsizetype>(count, SAL_MAX_INT16));
        cursor->goRight(step, expand);
        count -= step;
    }
}

struct DirectFormatting
{
    uno::Sequence<OUString> names;
    uno::Sequence<uno::Any> values;
};

// The character properties that a range can be given, by the kind of range: every range of one
// kind has the same, and the list is long to fetch.
using FormattingNames = std::map<OUString, uno::Sequence<OUString>>;

const uno::Sequence<OUString> &formattingNamesOf(const uno::Reference<beans::XPropertySet> &set,
                                                 FormattingNames &known)
{
    const uno::Reference<lang::XServiceInfo> info(set, uno::UNO_QUERY);
    const OUString kind = info.is() ? info->getImplementationName() : OUString();
    const auto found = known.find(kind);
    if (found != known.end() && !kind.isEmpty()) {
        return found->second;
    }
    std::vector<OUString> names;
    for (const beans::Property &property : set->getPropertySetInfo()->getProperties()) {
        // The face is set anew; an automatic style would bring the old face back.
        if (property.Name.startsWith("Char") && !property.Name.startsWith("CharFont") &&
            property.Name != "CharAutoStyleName" && !property.Name.endsWith("GrabBag") &&
            (property.Attributes & beans::PropertyAttribute::READONLY) == 0) {
            names.push_back(property.Name);
        }
    }
    return known[kind] = uno::Sequence<OUString>(names.data(), static_cast<sal_Int32>(names.size()));
}

// The character properties of a range as they show, wherever they come from (the range itself,
// its paragraph, a style), so that new text in its place can be given the same.
DirectFormatting directFormattingOf(const uno::Reference<text::XTextCursor> &range,
                                    const uno::Sequence<OUString> &names)
{
    const uno::Reference<beans::XMultiPropertySet> multi(range, uno::UNO_QUERY);
    if (!multi.is()) {
        return {};
    }
    DirectFormatting formatting;
    formatting.names = names;
    formatting.values = multi->getPropertyValues(formatting.names);
    return formatting;
}

// Gives the new text in a range each property that differs from what the old text had.
void restore(const uno::Reference<text::XTextCursor> &range, const DirectFormatting &formatting)
{
    const uno::Reference<beans::XMultiPropertySet> multi(range, uno::UNO_QUERY);
    if (!multi.is() || formatting.names.getLength() == 0) {
        return;
    }
    const uno::Sequence<uno::Any> now = multi->getPropertyValues(formatting.names);
    std::vector<OUString> names;
    std::vector<uno::Any> values;
    for (sal_Int32 i = 0; i < formatting.names.getLength() && i < now.getLength(); ++i) {
        if (formatting.values[i].hasValue() && formatting.values[i] != now[i]) {
            names.push_back(formatting.names[i]);
            values.push_back(formatting.values[i]);
        }
    }
    if (names.empty()) {
        return;
    }
    // All in one call; where one of them is refused, one by one.
    try {
        multi->setPropertyValues(
            uno::Sequence<OUString>(names.data(), static_cast<sal_Int32>(names.size())),
            uno::Sequence<uno::Any>(values.data(), static_cast<sal_Int32>(values.size())));
        return;
    } catch (const uno::Exception &) {
    }
    const uno::Reference<beans::XPropertySet> set(range, uno::UNO_QUERY_THROW);
    for (std::size_t i = 0; i < names.size(); ++i) {
        try {
            set->setPropertyValue(names[i], values[i]);
        } catch (const uno::Exception &) {
            // A property that cannot be set again keeps what the office gave the new text.
        }
    }
}

class Converter
{
public:
    explicit Converter(const ConversionOptions &options)
        : m_options(options)
    {}

    ConversionCounts counts() const { return m_counts; }

    void convertText(const uno::Reference<text::XText> &text)
    {
        const uno::Reference<container::XEnumerationAccess> paragraphs(text, uno::UNO_QUERY);
        if (!paragraphs.is()) {
            return;
        }
        const uno::Reference<container::XEnumeration> paragraphEnum = paragraphs->createEnumeration();
        std::vector<uno::Reference<uno::XInterface>> parts;
        while (paragraphEnum->hasMoreElements()) {
            parts.emplace_back(paragraphEnum->nextElement(), uno::UNO_QUERY);
        }
        for (const auto &part : parts) {
            const uno::Reference<text::XTextTable> table(part, uno::UNO_QUERY);
            if (table.is()) {
                convertTable(table);
                continue;
            }
            const uno::Reference<container::XEnumerationAccess> paragraph(part, uno::UNO_QUERY);
            if (paragraph.is()) {
                convertParagraph(paragraph, text);
            }
        }
    }

    void convertShapes(const uno::Reference<container::XIndexAccess> &shapes)
    {
        if (!shapes.is()) {
            return;
        }
        for (sal_Int32 i = 0; i < shapes->getCount(); ++i) {
            const uno::Reference<uno::XInterface> shape(shapes->getByIndex(i), uno::UNO_QUERY);
            const uno::Reference<drawing::XShapes> group(shape, uno::UNO_QUERY);
            if (group.is()) {
                convertShapes(uno::Reference<container::XIndexAccess>(group, uno::UNO_QUERY));
                continue;
            }
            const uno::Reference<text::XText> shapeText(shape, uno::UNO_QUERY);
            if (shapeText.is()) {
                convertText(shapeText);
            }
        }
    }

private:
    void convertTable(const uno::Reference<text::XTextTable> &table)
    {
        const uno::Sequence<OUString> names = table->getCellNames();
        for (const OUString &name : names) {
            const uno::Reference<text::XText> cell(table->getCellByName(name), uno::UNO_QUERY);
            if (cell.is()) {
                convertText(cell);
            }
        }
    }

    // The face of a portion and its type (empty where the portion has none), in one call where
    // the office allows it: a long document has tens of thousands of portions.
    static std::pair<OUString, OUString> faceAndType(const uno::Reference<text::XTextRange> &range)
    {
        OUString face;
        OUString type;
        const uno::Reference<beans::XMultiPropertySet> multi(range, uno::UNO_QUERY);
        if (multi.is()) {
            try {
                // In the order of their names, as the office wants them.
                const std::array<OUString, 2> names{OUString("CharFontName"), OUString("TextPortionType")};
                const uno::Sequence<uno::Any> values =
                    multi->getPropertyValues(uno::Sequence<OUString>(names.data(), names.size()));
                if (values.getLength() == 2) {
                    values[0] >>= face;
                    values[1] >>= type;
                    return {face, type};
                }
            } catch (const uno::RuntimeException &) {
                // A portion without one of them: asked one by one below.
            }
        }
        propertyOf(range, "CharFontName") >>= face;
        propertyOf(range, "TextPortionType") >>= type;
        return {face, type};
    }

    struct Portion
    {
        uno::Reference<text::XTextRange> range;
        QString text;
        QString face;
    };

    void convertParagraph(const uno::Reference<container::XEnumerationAccess> &paragraph,
                          const uno::Reference<text::XText> &text)
    {
        const uno::Reference<container::XEnumeration> portionEnum = paragraph->createEnumeration();
        std::vector<std::vector<Portion>> runs(1);
        while (portionEnum->hasMoreElements()) {
            const uno::Reference<text::XTextRange> range(portionEnum->nextElement(), uno::UNO_QUERY);
            if (!range.is()) {
                continue;
            }
            // Fields, footnote anchors, frames and the like end a run; only plain text is converted.
            const auto [face, type] = faceAndType(range);
            const bool plain = type.isEmpty() || type == "Text";
            if (!plain || !isPhoneticFace(toQString(face), m_options.extraFaces)) {
                if (!runs.back().empty()) {
                    runs.emplace_back();
                }
                continue;
            }
            runs.back().push_back({range, toQString(range->getString()), firstFace(toQString(face))});
        }
        // From the end backwards: editing a stretch moves the ones after it, which are done by then.
        for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
            if (!run->empty()) {
                convertRun(*run, text);
            }
        }
    }

    void convertRun(const std::vector<Portion> &run, const uno::Reference<text::XText> &text)
    {
        QStringList sources;
        for (const Portion &portion : run) {
            sources.append(portion.text);
        }
        const ConvertedRun converted = convertGlyphRun(sources);
        m_counts.symbols += converted.symbols;
        for (auto i = static_cast<qsizetype>(run.size()) - 1; i >= 0; --i) {
            const Portion &portion = run[static_cast<std::size_t>(i)];
            m_counts.faces.insert(portion.face);
            ++m_counts.stretches;
            const QString &result = converted.stretches[i];
            // Selected afresh from the stretch's start: the office stretches an enumerated portion's
            // end over text inserted right after it, as the later stretches were.
            const uno::Reference<text::XTextCursor> cursor =
                text->createTextCursorByRange(portion.range->getStart());
            moveRight(cursor, portion.text.size(), true);
            const std::vector<const char *> scripts = phoneticScriptFaces(cursor);
            if (result == portion.text) {
                setFace(cursor, scripts);
                continue;
            }
            // New text takes whatever formatting lies around it, so the stretch's own is put back.
            const DirectFormatting formatting = directFormattingOf(cursor, formattingNamesIn(text, cursor));
            // The cursor then spans the new text.
            cursor->setString(toOUString(result));
            if (result.isEmpty()) {
                continue;
            }
            // The face goes on before and after: Calc takes it from the first call only in some cells.
            setFace(cursor, scripts);
            restore(cursor, formatting);
            setFace(cursor, scripts);
        }
    }

    // The formatting names of the cursors of a text, asked once per text: every stretch of a text
    // has the same.
    const uno::Sequence<OUString> &formattingNamesIn(const uno::Reference<text::XText> &text,
                                                     const uno::Reference<text::XTextCursor> &cursor)
    {
        const auto found = m_namesOfText.find(text.get());
        if (found != m_namesOfText.end()) {
            return found->second.second;
        }
        const uno::Reference<beans::XPropertySet> set(cursor, uno::UNO_QUERY_THROW);
        // The text is held, so that no other text takes its address while the names are kept.
        return m_namesOfText.emplace(text.get(), std::pair(text, formattingNamesOf(set, m_formattingNames)))
            .first->second.second;
    }

    // Which of the faces for Asian and complex scripts were phonetic too, and are to be set as well.
    std::vector<const char *> phoneticScriptFaces(const uno::Reference<text::XTextCursor> &cursor) const
    {
        std::vector<const char *> scripts;
        std::array<OUString, 2> faces;
        const uno::Reference<beans::XMultiPropertySet> multi(cursor, uno::UNO_QUERY);
        bool read = false;
        if (multi.is()) {
            try {
                const std::array<OUString, 2> names{OUString("CharFontNameAsian"),
                                                    OUString("CharFontNameComplex")};
                const uno::Sequence<uno::Any> values =
                    multi->getPropertyValues(uno::Sequence<OUString>(names.data(), names.size()));
                read = values.getLength() == 2 && (values[0] >>= faces[0]) && (values[1] >>= faces[1]);
            } catch (const uno::RuntimeException &) {
            }
        }
        if (!read) {
            propertyOf(cursor, "CharFontNameAsian") >>= faces[0];
            propertyOf(cursor, "CharFontNameComplex") >>= faces[1];
        }
        if (isPhoneticFace(toQString(faces[0]), m_options.extraFaces)) {
            scripts.push_back("CharFontNameAsian");
        }
        if (isPhoneticFace(toQString(faces[1]), m_options.extraFaces)) {
            scripts.push_back("CharFontNameComplex");
        }
        return scripts;
    }

    void setFace(const uno::Reference<text::XTextCursor> &cursor,
                 const std::vector<const char *> &scripts) const
    {
        const uno::Any face(toOUString(m_options.targetFace));
        // A symbol font's character set would make the office treat the new face as one too.
        const uno::Any charSet(static_cast<sal_Int16>(com::sun::star::awt::CharSet::DONTKNOW));
        // In one call, the names in their order; where that is refused, one by one.
        std::vector<OUString> names{OUString("CharFontCharSet"), OUString("CharFontName")};
        std::vector<uno::Any> values{charSet, face};
        for (const char *script : scripts) {
            names.push_back(OUString::createFromAscii(script));
            values.push_back(face);
        }
        names.emplace_back("CharFontStyleName");
        values.emplace_back(OUString());
        const uno::Reference<beans::XMultiPropertySet> multi(cursor, uno::UNO_QUERY);
        if (multi.is()) {
            try {
                multi->setPropertyValues(
                    uno::Sequence<OUString>(names.data(), static_cast<sal_Int32>(names.size())),
                    uno::Sequence<uno::Any>(values.data(), static_cast<sal_Int32>(values.size())));
                return;
            } catch (const uno::Exception &) {
            }
        }
        const uno::Reference<beans::XPropertySet> properties(cursor, uno::UNO_QUERY_THROW);
        properties->setPropertyValue(OUString("CharFontName"), face);
        properties->setPropertyValue(OUString("CharFontStyleName"), uno::Any(OUString()));
        for (const char *script : scripts) {
            properties->setPropertyValue(OUString::createFromAscii(script), face);
        }
        properties->setPropertyValue(OUString("CharFontCharSet"), charSet);
    }

    const ConversionOptions &m_options;
    ConversionCounts m_counts;
    FormattingNames m_formattingNames;
    std::map<const text::XText *, std::pair<uno::Reference<text::XText>, uno::Sequence<OUString>>>
        m_namesOfText;
};

// Holds the document still while it is converted: no layout and no undo steps after every change,
// which would make a long document slow. Released again at the end, also after a failure.
class DocumentHold
{
public:
    explicit DocumentHold(const uno::Reference<lang::XComponent> &document)
        : m_model(document, uno::UNO_QUERY)
    {
        const uno::Reference<com::sun::star::document::XUndoManagerSupplier> undo(document, uno::UNO_QUERY);
        try {
            if (m_model.is()) {
                m_model->lockControllers();
            }
            if (undo.is()) {
                m_undo = undo->getUndoManager();
                m_undo->lock();
            }
        } catch (const uno::RuntimeException &) {
            // Slower, but the same result.
        }
    }
    ~DocumentHold()
    {
        try {
            if (m_undo.is()) {
                m_undo->unlock();
            }
            if (m_model.is()) {
                m_model->unlockControllers();
            }
        } catch (const uno::Exception &) {
            // The office is gone; the conversion reports that on its own.
        }
    }
    DocumentHold(const DocumentHold &) = delete;
    DocumentHold &operator=(const DocumentHold &) = delete;

private:
    uno::Reference<com::sun::star::frame::XModel> m_model;
    uno::Reference<com::sun::star::document::XUndoManager> m_undo;
};

// The office makes a comment's text object anew from the stored comment whenever it is asked for
// it, and keeps nothing that is written into it. A comment whose text holds phonetic stretches is
// therefore replaced by a copy that carries the converted text, at the same place.
void convertComment(Converter &converter, const uno::Reference<lang::XComponent> &document,
                    const uno::Reference<text::XTextContent> &comment)
{
    uno::Reference<text::XText> text;
    if (!(propertyOf(comment, "TextRange") >>= text) || !text.is()) {
        return;
    }
    const int before = converter.counts().stretches;
    converter.convertText(text);
    if (converter.counts().stretches == before) {
        return;
    }
    const uno::Reference<lang::XMultiServiceFactory> factory(document, uno::UNO_QUERY_THROW);
    const uno::Reference<beans::XPropertySet> copy(
        factory->createInstance(OUString("com.sun.star.text.textfield.Annotation")), uno::UNO_QUERY_THROW);
    for (const char *name : {"Author", "Initials", "DateTimeValue", "Resolved"}) {
        try {
            copy->setPropertyValue(OUString::createFromAscii(name), propertyOf(comment, name));
        } catch (const uno::Exception &) {
            // An older office without that property: the copy goes without it.
        }
    }
    // Formatting and all: the converted text object hands its whole content over.
    const uno::Reference<text::XTextCopy> target(copy->getPropertyValue(OUString("TextRange")),
                                                 uno::UNO_QUERY_THROW);
    target->copyText(uno::Reference<text::XTextCopy>(text, uno::UNO_QUERY_THROW));

    // A comment on a stretch of text is anchored to that stretch; one at a point, to itself.
    const uno::Reference<text::XTextRange> anchor = comment->getAnchor();
    const bool onStretch = anchor->getString().getLength() > 1;
    const uno::Reference<text::XTextContent> replacement(copy, uno::UNO_QUERY_THROW);
    anchor->getText()->insertTextContent(onStretch ? anchor : anchor->getStart(), replacement, onStretch);
    comment->dispose();
}

void convertTextDocument(Converter &converter, const uno::Reference<lang::XComponent> &document)
{
    const uno::Reference<text::XTextDocument> textDocument(document, uno::UNO_QUERY_THROW);
    converter.convertText(textDocument->getText());

    const uno::Reference<text::XTextFramesSupplier> framesSupplier(document, uno::UNO_QUERY);
    if (framesSupplier.is()) {
        const uno::Reference<container::XNameAccess> frames = framesSupplier->getTextFrames();
        for (const OUString &name : frames->getElementNames()) {
            const uno::Reference<text::XTextFrame> frame(frames->getByName(name), uno::UNO_QUERY);
            if (frame.is()) {
                converter.convertText(frame->getText());
            }
        }
    }

    const auto convertNotes = [&](const uno::Reference<container::XIndexAccess> &notes) {
        for (sal_Int32 i = 0; notes.is() && i < notes->getCount(); ++i) {
            const uno::Reference<text::XText> note(notes->getByIndex(i), uno::UNO_QUERY);
            if (note.is()) {
                converter.convertText(note);
            }
        }
    };
    const uno::Reference<text::XFootnotesSupplier> footnotes(document, uno::UNO_QUERY);
    if (footnotes.is()) {
        convertNotes(footnotes->getFootnotes());
    }
    const uno::Reference<text::XEndnotesSupplier> endnotes(document, uno::UNO_QUERY);
    if (endnotes.is()) {
        convertNotes(endnotes->getEndnotes());
    }

    // Headers and footers of every page style, of right, left and first pages alike.
    const uno::Reference<com::sun::star::style::XStyleFamiliesSupplier> styles(document, uno::UNO_QUERY);
    if (styles.is()) {
        const uno::Reference<container::XNameAccess> pageStyles(
            styles->getStyleFamilies()->getByName(OUString("PageStyles")), uno::UNO_QUERY);
        for (const OUString &name : pageStyles->getElementNames()) {
            const uno::Reference<uno::XInterface> style(pageStyles->getByName(name), uno::UNO_QUERY);
            for (const char *property :
                 {"HeaderText", "HeaderTextLeft", "HeaderTextRight", "HeaderTextFirst", "FooterText",
                  "FooterTextLeft", "FooterTextRight", "FooterTextFirst"}) {
                uno::Reference<text::XText> headerText;
                if (propertyOf(style, property) >>= headerText) {
                    if (headerText.is()) {
                        converter.convertText(headerText);
                    }
                }
            }
        }
    }

    const uno::Reference<text::XTextFieldsSupplier> fields(document, uno::UNO_QUERY);
    if (fields.is()) {
        // Gathered first: converting a comment replaces it, which the enumeration would not survive.
        std::vector<uno::Reference<text::XTextContent>> comments;
        const uno::Reference<container::XEnumeration> fieldEnum =
            fields->getTextFields()->createEnumeration();
        while (fieldEnum->hasMoreElements()) {
            const uno::Reference<text::XTextContent> field(fieldEnum->nextElement(), uno::UNO_QUERY);
            if (supports(field, "com.sun.star.text.textfield.Annotation")) {
                comments.push_back(field);
            }
        }
        for (const auto &comment : comments) {
            convertComment(converter, document, comment);
        }
    }

    converter.convertShapes(shapesOf(document));
}

void convertSpreadsheet(Converter &converter, const uno::Reference<lang::XComponent> &document)
{
    const uno::Reference<sheet::XSpreadsheetDocument> spreadsheet(document, uno::UNO_QUERY_THROW);
    const uno::Reference<container::XIndexAccess> sheets(spreadsheet->getSheets(), uno::UNO_QUERY_THROW);
    for (sal_Int32 i = 0; i < sheets->getCount(); ++i) {
        const uno::Reference<uno::XInterface> table(sheets->getByIndex(i), uno::UNO_QUERY);
        const uno::Reference<sheet::XCellRangesQuery> query(table, uno::UNO_QUERY);
        if (query.is()) {
            const uno::Reference<sheet::XSheetCellRanges> cells =
                query->queryContentCells(sheet::CellFlags::STRING);
            const uno::Reference<container::XEnumeration> cellEnum = cells->getCells()->createEnumeration();
            while (cellEnum->hasMoreElements()) {
                const uno::Reference<text::XText> cell(cellEnum->nextElement(), uno::UNO_QUERY);
                if (cell.is()) {
                    converter.convertText(cell);
                }
            }
        }
        converter.convertShapes(shapesOf(table));
    }
}

void convertDrawing(Converter &converter, const uno::Reference<lang::XComponent> &document)
{
    const auto convertPages = [&](const uno::Reference<container::XIndexAccess> &pages) {
        for (sal_Int32 i = 0; pages.is() && i < pages->getCount(); ++i) {
            const uno::Reference<container::XIndexAccess> page(pages->getByIndex(i), uno::UNO_QUERY);
            converter.convertShapes(page);
            const uno::Reference<com::sun::star::presentation::XPresentationPage> slide(page, uno::UNO_QUERY);
            if (slide.is()) {
                converter.convertShapes(
                    uno::Reference<container::XIndexAccess>(slide->getNotesPage(), uno::UNO_QUERY));
            }
        }
    };
    const uno::Reference<drawing::XDrawPagesSupplier> pages(document, uno::UNO_QUERY);
    if (pages.is()) {
        convertPages(uno::Reference<container::XIndexAccess>(pages->getDrawPages(), uno::UNO_QUERY));
    }
    const uno::Reference<drawing::XMasterPagesSupplier> masters(document, uno::UNO_QUERY);
    if (masters.is()) {
        convertPages(uno::Reference<container::XIndexAccess>(masters->getMasterPages(), uno::UNO_QUERY));
    }
}

} // namespace

DocumentKind documentKind(const uno::Reference<lang::XComponent> &document)
{
    if (supports(document, "com.sun.star.text.TextDocument")) {
        return DocumentKind::Text;
    }
    if (supports(document, "com.sun.star.sheet.SpreadsheetDocument")) {
        return DocumentKind::Spreadsheet;
    }
    if (supports(document, "com.sun.star.presentation.PresentationDocument")) {
        return DocumentKind::Presentation;
    }
    if (supports(document, "com.sun.star.drawing.DrawingDocument")) {
        return DocumentKind::Drawing;
    }
    return DocumentKind::Other;
}

ConversionCounts convertDocument(const uno::Reference<lang::XComponent> &document,
                                 const ConversionOptions &options)
{
    Converter converter(options);
    const DocumentHold hold(document);
    switch (documentKind(document)) {
    case DocumentKind::Text:
        convertTextDocument(converter, document);
        break;
    case DocumentKind::Spreadsheet:
        convertSpreadsheet(converter, document);
        break;
    case DocumentKind::Presentation:
    case DocumentKind::Drawing:
        convertDrawing(converter, document);
        break;
    case DocumentKind::Other:
        break;
    }
    return converter.counts();
}

} // namespace Sprelio
