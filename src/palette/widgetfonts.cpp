#include "palette/widgetfonts.h"

#include "palette/glyphtext.h"

#include <QFont>
#include <QWidget>

#include <algorithm>

namespace Sprelio {

QFont phoneticDesignFont(bool sansSerif, bool bold)
{
    QFont font(phoneticFamily(sansSerif));
    font.setPixelSize(19);
    font.setBold(bold);
    return font;
}

void setFontFamily(QWidget *widget, const QString &family)
{
    QFont font = widget->font();
    font.setFamily(family);
    widget->setFont(font);
}

void setFontStyle(QWidget *widget, bool bold, bool italic)
{
    QFont font = widget->font();
    font.setBold(bold);
    font.setItalic(italic);
    widget->setFont(font);
}

void setFontPointSize(QWidget *widget, int size, int minimum)
{
    QFont font = widget->font();
    font.setPointSize(std::max(minimum, size));
    widget->setFont(font);
}

} // namespace Sprelio
