#include "palette/phoneticfonts.h"

#include "palette/glyphtext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>

namespace Sprelio {

namespace {

QString fontFileName(bool sansSerif)
{
    return sansSerif ? QStringLiteral("LautbildSansSerif.ttf") : QStringLiteral("LautbildSerif.ttf");
}

// An installed copy is what the user's word processor sees too, so a family
// the system already has is left alone; the bundled file only fills a gap.
bool ensureFamily(bool sansSerif)
{
    const QString family = phoneticFamily(sansSerif);
    if (QFontDatabase::hasFamily(family)) {
        return true;
    }
    const QString file = phoneticFontFile(sansSerif);
    if (file.isEmpty()) {
        return false;
    }
    const int id = QFontDatabase::addApplicationFont(file);
    return id >= 0 && QFontDatabase::applicationFontFamilies(id).contains(family);
}

} // namespace

QStringList phoneticFontDirs()
{
    QStringList dirs;
    // An application instance is needed for its folder; without one only the
    // compiled-in folders are searched.
    if (QCoreApplication::instance() != nullptr) {
        const QString appDir = QCoreApplication::applicationDirPath();
        dirs << appDir + QStringLiteral("/fonts")
             << QDir::cleanPath(appDir + QStringLiteral("/" SPRELIO_RELATIVE_FONT_DIR));
    }
    dirs << QStringLiteral(SPRELIO_FONT_DIR) << QStringLiteral(SPRELIO_SOURCE_DATA_DIR "/fonts");
    dirs.removeDuplicates();
    return dirs;
}

QString phoneticFontFile(bool sansSerif)
{
    const QString name = fontFileName(sansSerif);
    for (const QString &dir : phoneticFontDirs()) {
        const QFileInfo info(QDir(dir), name);
        if (info.isFile() && info.isReadable()) {
            return info.absoluteFilePath();
        }
    }
    return {};
}

bool registerPhoneticFonts()
{
    const bool serif = ensureFamily(false);
    const bool sans = ensureFamily(true);
    return serif && sans;
}

} // namespace Sprelio
