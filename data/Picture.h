#pragma once
// Which picture formats the program shows, told by a picture's first bytes only: the one rule
// for tabletool's file: cells, its export file names and the picture view's decoder.

#include <cstddef>
#include <string_view>

namespace picture {

enum class Format { None, Png, Jpeg, Gif, Bmp };

// The largest picture stored or read, in bytes: the table files' value limit.
inline constexpr std::size_t kMaxBytes = 64 * 1024 * 1024;

// The format of BYTES by their signature; None for anything else (text, a PDF, an empty value).
Format Sniff(std::string_view bytes);

// The usual file name ending with its dot (".png"); ".bin" for None.
const char* Extension(Format format);

// The name an image reader knows the format by ("png", "jpeg", "gif", "bmp"); "" for None.
const char* ReaderName(Format format);

}  // namespace picture
