#pragma once

#include <QString>

class QFont;
class QWidget;

namespace Sprelio {

/// The phonetic face at the window's design size of 19 pixels.
QFont phoneticDesignFont(bool sansSerif, bool bold);
/// Changes only the family of the widget's font.
void setFontFamily(QWidget *widget, const QString &family);
/// Changes only the weight and posture of the widget's font.
void setFontStyle(QWidget *widget, bool bold, bool italic);
/// Changes only the point size of the widget's font; sizes below minimum become minimum.
void setFontPointSize(QWidget *widget, int size, int minimum = 1);

} // namespace Sprelio
