#include "FilterText.h"

#include "Exception.h"

namespace {

// One word of the filter language: at least one byte, none of them a blank, a quote or a
// control character.
bool IsWord(const std::string& s)
{
    if (s.empty())
        return false;
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u == 0x7F || c == '\'' || c == '"')
            return false;
    }
    return true;
}

}  // namespace

FilterText& FilterText::Add(const std::string& field, const char* op, const std::string& literal)
{
    if (!IsWord(field))
        throw Exception("フィルタ式が正しくありません (項目名「" + field + "」は使えません)");
    if (!IsWord(literal))
        throw Exception("フィルタ式が正しくありません (項目 " + field + " の値「" + literal +
                        "」は、空白・引用符・制御文字を含むか空のため、条件にできません)");
    if (!text_.empty())
        text_ += " AND ";
    text_ += field + ' ' + op + ' ' + literal;
    return *this;
}

FilterText& FilterText::Equals(const std::string& field, std::int64_t value)
{
    return Add(field, "=", std::to_string(value));
}

FilterText& FilterText::Equals(const std::string& field, const std::string& word)
{
    return Add(field, "=", word);
}

FilterText& FilterText::AtLeast(const std::string& field, std::int64_t value)
{
    return Add(field, ">=", std::to_string(value));
}

FilterText& FilterText::AtMost(const std::string& field, std::int64_t value)
{
    return Add(field, "<=", std::to_string(value));
}

FilterText& FilterText::Above(const std::string& field, std::int64_t value)
{
    return Add(field, ">", std::to_string(value));
}
