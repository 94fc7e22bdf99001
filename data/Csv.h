#pragma once
// CSV as RFC 4180 describes it: fields separated by commas, records by CRLF or LF, fields with
// commas, quotes or line breaks in double quotes, quotes doubled.

#include <string>
#include <vector>

namespace csv {

using Record = std::vector<std::string>;

// Parses the whole text. Throws Exception for an unterminated quoted field or a stray quote,
// naming the line.
std::vector<Record> Parse(const std::string& text);

// One record, with CRLF at the end.
std::string Format(const Record& record);

}  // namespace csv
