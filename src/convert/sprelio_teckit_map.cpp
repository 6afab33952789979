// sprelio-teckit-map [FILE]: writes the TECkit mapping of the phonetic fonts' encoding to FILE,
// or to the standard output.

#include "convert/teckitmap.h"

#include <QFile>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    const QByteArray source = Sprelio::teckitMappingSource().toUtf8();
    if (argc > 2) {
        std::fputs("usage: sprelio-teckit-map [FILE]\n", stderr);
        return 2;
    }
    if (argc == 1) {
        return std::fwrite(source.constData(), 1, static_cast<std::size_t>(source.size()), stdout) ==
                       static_cast<std::size_t>(source.size())
                   ? 0
                   : 1;
    }
    QSaveFile file(QFile::decodeName(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(source) != source.size() || !file.commit()) {
        std::fprintf(stderr, "sprelio-teckit-map: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
