#include "BankMerge.h"

#include "CsvTable.h"
#include "Exception.h"
#include "Layouts.h"

#include <algorithm>
#include <map>

namespace bankmerge {
namespace {

bool IsCounter(const std::string& name)
{
    return name == "NKaisu" || name == "Nani" || name == "Kaisu" || name == "Seikaisu";
}

// Index of NAME in FIELDS, or FIELDS.size().
std::size_t IndexOf(const std::vector<FieldDef>& fields, const std::string& name)
{
    const auto it = std::find_if(fields.begin(), fields.end(), [&](const FieldDef& f) { return f.name == name; });
    return std::size_t(it - fields.begin());
}

std::vector<std::string> Names(const std::vector<FieldDef>& a, const std::vector<FieldDef>& b)
{
    std::vector<std::string> names;
    for (const auto* fields : {&a, &b})
        for (const FieldDef& f : *fields)
            names.push_back(f.name);
    return names;
}

// ROW (with FROM's fields) with TO's fields: a field FROM lacks is empty.
Row Reshaped(const Row& row, const std::vector<FieldDef>& from, const std::vector<FieldDef>& to)
{
    Row out;
    for (const FieldDef& f : to) {
        const std::size_t i = IndexOf(from, f.name);
        out.push_back(i < from.size() ? row[i] : Value::Null());
    }
    return out;
}

std::string List(const std::vector<std::string>& items)
{
    std::string out;
    for (const std::string& s : items)
        out += (out.empty() ? "" : ", ") + s;
    return out;
}

}  // namespace

Result Merge(const std::vector<FieldDef>& bankFields, const std::vector<Row>& bankRows,
             const std::vector<FieldDef>& csvFields, const std::vector<Row>& csvRows, bool deleteMissing)
{
    Result result;
    result.fields = layouts::FieldsFor(*layouts::Find("bank"), Names(csvFields, bankFields));
    const std::size_t bankBango = IndexOf(bankFields, "Bango");
    const std::size_t csvBango = IndexOf(csvFields, "Bango");

    std::map<std::string, std::size_t> bankRowOf;   // four-digit number -> bank row
    for (std::size_t r = 0; r < bankRows.size(); ++r) {
        const std::string& b = bankRows[r][bankBango].bytes;
        if (!bankRowOf.emplace(csvtable::PaddedBango(b), r).second)
            throw Exception("表ファイルに問題番号 " + csvtable::PaddedBango(b) +
                            " が二度あります (1 と 0001 のように)。check で確かめ、export して直してから import してください / "
                            "the table file holds question number " + csvtable::PaddedBango(b) +
                            " twice (as 1 and 0001); check it, export it, fix it and import it");
    }

    std::vector<bool> matched(bankRows.size(), false);
    for (const Row& csvRow : csvRows) {
        const std::string& bango = csvRow[csvBango].bytes;
        const auto found = bankRowOf.find(bango);
        const Row* old = found == bankRowOf.end() ? nullptr : &bankRows[found->second];
        if (old)
            matched[found->second] = true;
        Row row;
        Changed change{bango, {}};
        for (const FieldDef& f : result.fields) {
            const std::size_t c = IndexOf(csvFields, f.name), b = IndexOf(bankFields, f.name);
            const Value* oldValue = old && b < bankFields.size() ? &(*old)[b] : nullptr;
            if (IsCounter(f.name) && old)
                row.push_back(oldValue ? *oldValue : Value::Null());
            else if (IsCounter(f.name) && f.name != "Nani")
                row.push_back(Value(0));   // a new question: never asked yet
            else if (c < csvFields.size())
                row.push_back(csvRow[c]);
            else
                row.push_back(oldValue ? *oldValue : Value::Null());   // the bank's Bunrui, which the CSV lacks
            if (old && !IsCounter(f.name) && (oldValue ? *oldValue : Value::Null()) != row.back())
                change.fields.push_back(f.name);
        }
        result.rows.push_back(std::move(row));
        if (!old)
            result.report.added.push_back(bango);
        else if (!change.fields.empty())
            result.report.changed.push_back(std::move(change));
        else
            ++result.report.unchanged;
    }

    for (std::size_t r = 0; r < bankRows.size(); ++r) {
        if (matched[r])
            continue;
        const std::string& bango = bankRows[r][bankBango].bytes;
        if (deleteMissing) {
            result.report.removed.push_back(bango);
        } else {
            result.rows.push_back(Reshaped(bankRows[r], bankFields, result.fields));
            result.report.kept.push_back(bango);
        }
    }
    return result;
}

std::string Describe(const Report& report)
{
    std::string out;
    for (const std::string& b : report.added)
        out += "追加 added: " + b + "\n";
    for (const Changed& c : report.changed)
        out += "変更 changed: " + c.bango + " (" + List(c.fields) + ")\n";
    for (const std::string& b : report.removed)
        out += "削除 removed: " + b + "\n";
    for (const std::string& b : report.kept)
        out += "CSV になし、残す / not in the CSV, kept: " + b + "\n";
    out += "追加 " + std::to_string(report.added.size()) + ", 変更 " + std::to_string(report.changed.size()) +
           ", 削除 " + std::to_string(report.removed.size()) + ", 残す " + std::to_string(report.kept.size()) +
           ", 変更なし " + std::to_string(report.unchanged) + " / added " + std::to_string(report.added.size()) +
           ", changed " + std::to_string(report.changed.size()) + ", removed " +
           std::to_string(report.removed.size()) + ", kept " + std::to_string(report.kept.size()) +
           ", unchanged " + std::to_string(report.unchanged) + "\n";
    if (!report.kept.empty())
        out += "CSV にない問題を削除するには --delete-missing を付けてください / to remove the questions the CSV "
               "lacks, add --delete-missing\n";
    return out;
}

}  // namespace bankmerge
