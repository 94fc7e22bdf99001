#include "Filter.h"

#include "Exception.h"

#include <charconv>

namespace {

// The words between single blanks. An empty word (a leading, trailing or doubled blank) comes
// back empty and is refused by the caller: a literal built from a stored value with blanks
// around it must not quietly lose them and select another record.
std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> words;
    if (text.empty())
        return words;
    std::size_t i = 0;
    for (;;) {
        const std::size_t j = text.find(' ', i);
        words.push_back(text.substr(i, j == std::string::npos ? std::string::npos : j - i));
        if (j == std::string::npos)
            return words;
        i = j + 1;
    }
}

[[noreturn]] void Malformed(const std::string& text, const std::string& why)
{
    throw Exception("フィルタ式が正しくありません (" + why + "): 「" + text + "」");
}

bool IsAnd(const std::string& w)
{
    return w.size() == 3 && (w[0] | 0x20) == 'a' && (w[1] | 0x20) == 'n' && (w[2] | 0x20) == 'd';
}

}  // namespace

Filter::Filter(const std::string& text, const std::vector<FieldDef>& fields)
{
    const auto words = Words(text);
    if (words.empty())
        Malformed(text, "条件がありません");
    for (const std::string& w : words)
        if (w.empty())
            Malformed(text, "空白の位置が正しくありません");
    std::size_t i = 0;
    for (;;) {
        if (i + 3 > words.size())
            Malformed(text, "条件が途中で終わっています");
        const std::string& name = words[i];
        const std::string& op = words[i + 1];
        const std::string& literal = words[i + 2];

        Condition c{};
        c.field = -1;
        for (std::size_t f = 0; f < fields.size(); ++f)
            if (fields[f].name == name)
                c.field = int(f);
        if (c.field < 0)
            throw Exception("項目 '" + name + "' が見つかりません");

        if (op == "=") c.op = Op::Eq;
        else if (op == ">=") c.op = Op::Ge;
        else if (op == "<=") c.op = Op::Le;
        else if (op == ">") c.op = Op::Gt;
        else Malformed(text, "演算子 " + op + " は使えません");

        const FieldType type = fields[std::size_t(c.field)].type;
        if (type == FieldType::Blob)
            Malformed(text, "項目 " + name + " は比較できません");
        if (type == FieldType::Integer) {
            std::int64_t v = 0;
            const char* b = literal.data();
            const char* e = b + literal.size();
            const bool digitsOnly = literal.find_first_not_of("-0123456789") == std::string::npos;
            auto [p, ec] = std::from_chars(b, e, v);
            if (!digitsOnly || ec != std::errc() || p != e)
                Malformed(text, "数値 " + literal + " が正しくありません");
            c.text = false;
            c.number = v;
        } else {
            if (literal.find_first_of("'\"") != std::string::npos)
                Malformed(text, "引用符は使えません");
            for (const char ch : literal)
                if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F)
                    Malformed(text, "制御文字は使えません");
            c.text = true;
            c.word = literal;
        }
        conditions_.push_back(std::move(c));

        i += 3;
        if (i == words.size())
            break;
        if (!IsAnd(words[i]))
            Malformed(text, "AND がありません");
        ++i;
    }
}

bool Filter::Matches(const Row& row) const
{
    for (const Condition& c : conditions_) {
        const Value& v = row[std::size_t(c.field)];
        int cmp;
        if (c.text) {
            static const std::string empty;
            const std::string& s = v.null ? empty : v.bytes;
            const int r = s.compare(c.word);
            cmp = r < 0 ? -1 : (r > 0 ? 1 : 0);
        } else {
            const std::int64_t n = v.null ? 0 : v.integer;
            cmp = n < c.number ? -1 : (n > c.number ? 1 : 0);
        }
        bool ok = false;
        switch (c.op) {
        case Op::Eq: ok = cmp == 0; break;
        case Op::Ge: ok = cmp >= 0; break;
        case Op::Le: ok = cmp <= 0; break;
        case Op::Gt: ok = cmp > 0; break;
        }
        if (!ok)
            return false;
    }
    return true;
}
