// The picture of a question (the Zu field) from arbitrary bytes, decoded as the picture view
// decodes it. Whatever the bytes claim, a picture comes out within the view's size limit or no
// picture comes out.

#include "DBImage.h"

#include <QByteArray>
#include <QImage>

#include <cstdint>

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QImage image = DBImage::Decode(bytes);
    if (!image.isNull()) {
        FUZZ_CHECK(image.width() > 0 && image.height() > 0);
        FUZZ_CHECK(image.width() <= DBImage::MaxPictureSide && image.height() <= DBImage::MaxPictureSide);
        // Touch the pixels, as drawing the view would.
        volatile QRgb sink = image.pixel(image.width() - 1, image.height() - 1);
        (void)sink;
    }
    return 0;
}
