#include "app/programicons.h"

#include "storage/picturefile.h"

#include <QFile>
#include <QPixmap>

namespace Sprelio {

QIcon programIcon(const char *name)
{
    QIcon icon;
    for (const char *scale : {"", "@2x"}) {
        QFile in(QStringLiteral(":/icons/%1%2.pixels").arg(QLatin1String(name), QLatin1String(scale)));
        if (!in.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QImage picture = readPicture(in);
        if (!picture.isNull()) {
            icon.addPixmap(QPixmap::fromImage(picture));
        }
    }
    return icon;
}

} // namespace Sprelio
