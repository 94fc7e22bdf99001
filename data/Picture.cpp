#include "Picture.h"

namespace picture {

Format Sniff(std::string_view bytes)
{
    // Whole signatures, so that a text that happens to begin with "GIF8" or "\x89PNG" is no picture.
    if (bytes.starts_with(std::string_view("\x89PNG\r\n\x1a\n", 8)))
        return Format::Png;
    if (bytes.starts_with("\xff\xd8\xff"))
        return Format::Jpeg;
    if (bytes.starts_with("GIF87a") || bytes.starts_with("GIF89a"))
        return Format::Gif;
    if (bytes.starts_with("BM"))
        return Format::Bmp;
    return Format::None;
}

const char* Extension(Format format)
{
    switch (format) {
    case Format::Png: return ".png";
    case Format::Jpeg: return ".jpg";
    case Format::Gif: return ".gif";
    case Format::Bmp: return ".bmp";
    case Format::None: break;
    }
    return ".bin";
}

const char* ReaderName(Format format)
{
    switch (format) {
    case Format::Png: return "png";
    case Format::Jpeg: return "jpeg";
    case Format::Gif: return "gif";
    case Format::Bmp: return "bmp";
    case Format::None: break;
    }
    return "";
}

}  // namespace picture
