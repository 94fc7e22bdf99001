#pragma once
// EUC-JP, the encoding of every text in the table files. The one place that converts.

#include <QString>
#include <string>

namespace eucjp {

// Decodes EUC-JP bytes; invalid bytes become U+FFFD.
QString Decode(const std::string& bytes);
// Encodes to EUC-JP. Throws Exception naming the first character that has no EUC-JP form;
// never writes a substitute.
std::string Encode(const QString& text);
// UTF-8 in and out, for tools.
inline QString FromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
inline std::string ToUtf8(const QString& s) { return s.toUtf8().toStdString(); }

// Length in bytes of the EUC-JP character that starts with LEAD (1 to 3).
int CharLength(unsigned char lead);
// BYTES cut to at most MAXBYTES without splitting a character.
std::string Truncate(const std::string& bytes, std::size_t maxBytes);

// True when the platform's EUC-JP decoder is present (a Qt built without ICU lacks it).
bool Available();

}  // namespace eucjp
