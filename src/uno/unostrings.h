#pragma once

// Text between the office's strings and ours: UTF-8 for the plain C++ parts, QString where Qt is.

#include <rtl/ustring.hxx>

#include <string>
#include <string_view>

#if defined(QT_CORE_LIB)
#include <QString>
#endif

namespace Sprelio {

inline std::string toUtf8(const rtl::OUString &text)
{
    const rtl::OString bytes = rtl::OUStringToOString(text, RTL_TEXTENCODING_UTF8);
    return std::string(bytes.getStr(), static_cast<std::size_t>(bytes.getLength()));
}

inline rtl::OUString fromUtf8(std::string_view text)
{
    return rtl::OUString(text.data(), static_cast<sal_Int32>(text.size()), RTL_TEXTENCODING_UTF8);
}

#if defined(QT_CORE_LIB)
// Both hold UTF-16, so the code units are taken over as they are.
inline rtl::OUString toOUString(const QString &text)
{
    return rtl::OUString(reinterpret_cast<const sal_Unicode *>(text.utf16()),
                         static_cast<sal_Int32>(text.size()));
}

inline QString toQString(const rtl::OUString &text)
{
    return QString(reinterpret_cast<const QChar *>(text.getStr()), text.getLength());
}
#endif

} // namespace Sprelio
