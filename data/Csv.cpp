#include "Csv.h"

#include "Exception.h"

namespace csv {

std::vector<Record> Parse(const std::string& text)
{
    std::vector<Record> records;
    Record record;
    std::string field;
    bool quoted = false;       // inside a quoted field
    bool wasQuoted = false;    // the current field was quoted (only a separator may follow)
    std::size_t line = 1;
    auto endField = [&] {
        record.push_back(std::move(field));
        field.clear();
        wasQuoted = false;
    };
    auto endRecord = [&] {
        endField();
        records.push_back(std::move(record));
        record.clear();
    };
    std::size_t i = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        i = 3;   // a byte-order mark that spreadsheets write
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    field.push_back('"');
                    ++i;
                } else {
                    quoted = false;
                    wasQuoted = true;
                }
            } else {
                if (c == '\n') ++line;
                field.push_back(c);
            }
            continue;
        }
        if (c == ',') {
            endField();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            // CRLF: the LF ends the record
        } else if (c == '\n') {
            endRecord();
            ++line;
        } else if (c == '"') {
            if (!field.empty() || wasQuoted)
                throw Exception("CSV の " + std::to_string(line) + " 行目: 引用符の位置が正しくありません");
            quoted = true;
        } else {
            if (wasQuoted)
                throw Exception("CSV の " + std::to_string(line) + " 行目: 引用符の後に文字があります");
            field.push_back(c);
        }
    }
    if (quoted)
        throw Exception("CSV の " + std::to_string(line) + " 行目: 引用符が閉じていません");
    if (!field.empty() || !record.empty() || wasQuoted)
        endRecord();
    return records;
}

std::string Format(const Record& record)
{
    std::string out;
    for (std::size_t i = 0; i < record.size(); ++i) {
        if (i) out.push_back(',');
        const std::string& f = record[i];
        if (f.find_first_of(",\"\r\n") == std::string::npos) {
            out += f;
            continue;
        }
        out.push_back('"');
        for (char c : f) {
            if (c == '"') out.push_back('"');
            out.push_back(c);
        }
        out.push_back('"');
    }
    out += "\r\n";
    return out;
}

}  // namespace csv
