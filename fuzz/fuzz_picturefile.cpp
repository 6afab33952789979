#include "fuzzcheck.h"
#include "storage/picturefile.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

// The splash picture is read back from the user's cache folder, where anything may have been put.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QBuffer in;
    in.setData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    in.open(QIODevice::ReadOnly);
    const QImage picture = Sprelio::readPicture(in);
    if (picture.isNull()) {
        return 0;
    }
    FUZZ_CHECK(picture.format() == QImage::Format_RGB32 ||
               picture.format() == QImage::Format_ARGB32_Premultiplied);
    // What was read writes and reads back unchanged.
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    FUZZ_CHECK(Sprelio::writePicture(out, picture));
    QBuffer again;
    again.setData(out.data());
    again.open(QIODevice::ReadOnly);
    FUZZ_CHECK(Sprelio::readPicture(again, picture.size()) == picture);
    return 0;
}
