// Filter expressions from arbitrary text, over each record layout. An accepted filter must mean
// the same when written back out from its parsed conditions, and must never touch a field it
// does not have.

#include "Exception.h"
#include "Filter.h"
#include "Layouts.h"

#include <cstdint>
#include <string>

#include "FuzzSupport.h"

namespace {

const char* OpText(Filter::Op op)
{
    switch (op) {
    case Filter::Op::Eq: return "=";
    case Filter::Op::Ge: return ">=";
    case Filter::Op::Le: return "<=";
    case Filter::Op::Gt: return ">";
    }
    return "?";
}

// Records that make each condition's outcome differ: nulls, extremes, empty and odd text.
std::vector<Row> Probes(const std::vector<FieldDef>& fields)
{
    std::vector<Row> rows;
    const int ints[] = {0, -1, 1, 5, 100, INT32_MIN, INT32_MAX};
    const char* texts[] = {"", "0001", "0", "\xA4\xA2", "a b", "9999"};
    for (int k = 0; k < 7; ++k) {
        Row r;
        for (const FieldDef& f : fields) {
            if (k == 6)
                r.push_back(Value::Null());
            else if (f.type == FieldType::Integer)
                r.push_back(Value(ints[k]));
            else
                r.push_back(Value(std::string(texts[k % 6])));
        }
        rows.push_back(std::move(r));
    }
    return rows;
}

void Check(const std::string& text, const std::vector<FieldDef>& fields)
{
    std::string canonical;
    std::vector<bool> results;
    const auto rows = Probes(fields);
    try {
        Filter f(text, fields);
        FUZZ_CHECK(!f.Conditions().empty());
        for (const auto& c : f.Conditions()) {
            FUZZ_CHECK(c.field >= 0 && std::size_t(c.field) < fields.size());
            const FieldDef& def = fields[std::size_t(c.field)];
            FUZZ_CHECK(def.type != FieldType::Blob);
            FUZZ_CHECK(c.text == (def.type == FieldType::Text));
            // Nothing that could close or open a quoted string ever reaches a condition.
            FUZZ_CHECK(!c.text || c.word.find_first_of("'\" ") == std::string::npos);
            for (const char ch : c.word)
                FUZZ_CHECK(static_cast<unsigned char>(ch) >= 0x20 && ch != 0x7F);
            if (!canonical.empty())
                canonical += " AND ";
            canonical += def.name + " " + OpText(c.op) + " " + (c.text ? c.word : std::to_string(c.number));
        }
        for (const Row& r : rows)
            results.push_back(f.Matches(r));
    } catch (const Exception&) {
        return;
    }
    Filter again(canonical, fields);   // must not throw: it was accepted once
    for (std::size_t i = 0; i < rows.size(); ++i)
        FUZZ_CHECK(again.Matches(rows[i]) == results[i]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    Check(text, layouts::Bank());
    Check(text, layouts::History());
    Check(text, layouts::Advice());
    return 0;
}
