#pragma once

#include <QByteArray>

#include <initializer_list>

// A glyph string written as its codes, as the tests name glyphs.
inline QByteArray bytes(std::initializer_list<int> codes)
{
    QByteArray result;
    for (const int code : codes) {
        result.append(static_cast<char>(code));
    }
    return result;
}
