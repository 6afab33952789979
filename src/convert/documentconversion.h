#pragma once

// Walks every place of an open office document that holds text and turns the stretches set in a
// phonetic face into Unicode IPA in another face, leaving every other property as it was.

#include <com/sun/star/lang/XComponent.hpp>

#include <QString>
#include <QStringList>

#include <set>

namespace Sprelio {

struct ConversionCounts
{
    int stretches = 0;
    int symbols = 0;
    /// The phonetic faces met, as the document names them.
    std::set<QString> faces;
};

struct ConversionOptions
{
    /// Faces converted besides the two bundled ones.
    QStringList extraFaces;
    /// The face the Unicode text is set in.
    QString targetFace = QStringLiteral("Charis SIL");
};

enum class DocumentKind { Text, Spreadsheet, Presentation, Drawing, Other };

DocumentKind documentKind(const com::sun::star::uno::Reference<com::sun::star::lang::XComponent> &document);

/// Converts the whole document in place and says what it converted.
ConversionCounts
convertDocument(const com::sun::star::uno::Reference<com::sun::star::lang::XComponent> &document,
                const ConversionOptions &options);

} // namespace Sprelio
