#include "CsvTable.h"

#include "Csv.h"
#include "EucJp.h"
#include "Exception.h"
#include "Syllabus.h"

#include <QByteArray>

#include <algorithm>

#include <charconv>
#include <climits>
#include <fstream>
#include <set>
#include <sstream>

namespace csvtable {
namespace {

std::string Base64(const std::string& bytes)
{
    return QByteArray(bytes.data(), qsizetype(bytes.size())).toBase64().toStdString();
}

[[noreturn]] void CellError(std::size_t row, const FieldDef& f, const std::string& why)
{
    throw Exception(std::to_string(row) + " 行目, 項目 " + f.name + ": " + why);
}

Value Cell(const std::string& cell, const FieldDef& f, std::size_t row, const FileReader& readFile)
{
    if (cell.empty())
        return Value::Null();
    switch (f.type) {
    case FieldType::Integer: {
        long long v = 0;
        const char* b = cell.data();
        const char* e = b + cell.size();
        auto [p, ec] = std::from_chars(b, e, v);
        if (ec != std::errc() || p != e)
            CellError(row, f, "整数ではありません: " + cell);
        if (v < INT32_MIN || v > INT32_MAX)
            CellError(row, f, "32 ビットの整数の範囲を超えています: " + cell);
        return Value(int(v));
    }
    case FieldType::Text: {
        const QString text = QString::fromUtf8(cell.data(), qsizetype(cell.size()));
        if (eucjp::ToUtf8(text) != cell)
            CellError(row, f, "UTF-8 として正しくありません");
        std::string bytes;
        try {
            bytes = eucjp::Encode(text);
        } catch (const Exception& e) {
            CellError(row, f, e.what());
        }
        if (int(bytes.size()) > f.size)
            CellError(row, f, "長すぎます (EUC-JP で " + std::to_string(bytes.size()) + " バイト, 上限 " +
                                  std::to_string(f.size) + " バイト)");
        return Value(bytes);
    }
    case FieldType::Blob:
        if (cell.rfind("base64:", 0) == 0) {
            const auto r = QByteArray::fromBase64Encoding(QByteArray::fromStdString(cell.substr(7)),
                                                          QByteArray::AbortOnBase64DecodingErrors);
            if (!r)
                CellError(row, f, "base64 として正しくありません");
            return Value((*r).toStdString());
        }
        if (cell.rfind("file:", 0) == 0) {
            try {
                return Value(readFile(cell.substr(5)));
            } catch (const Exception& e) {
                CellError(row, f, e.what());
            }
        }
        CellError(row, f, "base64: か file: で始めてください");
    }
    return Value::Null();
}

std::size_t ColumnOf(const std::vector<FieldDef>& fields, const std::string& name)
{
    const auto it = std::find_if(fields.begin(), fields.end(), [&](const FieldDef& f) { return f.name == name; });
    if (it == fields.end())
        throw Exception("項目 " + name + " がありません");
    return std::size_t(it - fields.begin());
}

void CheckBunrui(const std::vector<FieldDef>& fields, const std::vector<Row>& rows)
{
    const auto it = std::find_if(fields.begin(), fields.end(), [](const FieldDef& f) { return f.name == "Bunrui"; });
    if (it == fields.end())
        return;
    const std::size_t col = std::size_t(it - fields.begin());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Value& v = rows[r][col];
        if (!v.null && !syllabus::Find(v.integer))
            CellError(r + 2, *it, "教習項目の番号ではありません: " + std::to_string(v.integer));
    }
}

}  // namespace

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Exception("ファイルを読めません: " + path);
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad())
        throw Exception("ファイルを読めません: " + path);
    return s.str();
}

std::string Export(const std::vector<FieldDef>& fields, const std::vector<Row>& rows)
{
    csv::Record header;
    for (const auto& f : fields)
        header.push_back(f.name);
    std::string out = csv::Format(header);
    for (const Row& row : rows) {
        csv::Record r;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const Value& v = row[i];
            if (v.null)
                r.emplace_back();
            else if (fields[i].type == FieldType::Integer)
                r.push_back(std::to_string(v.integer));
            else if (fields[i].type == FieldType::Text)
                r.push_back(eucjp::ToUtf8(eucjp::Decode(v.bytes)));
            else
                r.push_back("base64:" + Base64(v.bytes));
        }
        out += csv::Format(r);
    }
    return out;
}

std::vector<Row> Import(const std::vector<FieldDef>& layout, const std::string& csvText,
                        const FileReader& readFile)
{
    const auto records = csv::Parse(csvText);
    if (records.empty())
        throw Exception("CSV に見出し行がありません");
    const csv::Record& header = records.front();
    std::vector<std::size_t> columnOf;
    for (const auto& f : layout) {
        std::size_t found = header.size();
        for (std::size_t i = 0; i < header.size(); ++i)
            if (header[i] == f.name)
                found = i;
        if (found == header.size())
            throw Exception("CSV に列 " + f.name + " がありません");
        columnOf.push_back(found);
    }
    std::vector<Row> rows;
    for (std::size_t r = 1; r < records.size(); ++r) {
        const csv::Record& rec = records[r];
        if (rec.size() == 1 && rec[0].empty())
            continue;   // a blank line
        if (rec.size() != header.size())
            throw Exception(std::to_string(r + 1) + " 行目: 列の数が見出しと合いません");
        Row row;
        for (std::size_t i = 0; i < layout.size(); ++i)
            row.push_back(Cell(rec[columnOf[i]], layout[i], r + 1, readFile));
        rows.push_back(std::move(row));
    }
    return rows;
}

void CheckBango(const std::vector<FieldDef>& fields, const std::vector<Row>& rows)
{
    std::size_t col = 0;
    while (fields[col].name != "Bango") ++col;
    std::set<std::string> seen;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Value& v = rows[r][col];
        const std::string b = v.null ? std::string() : v.bytes;
        if (b.empty() || b.size() > 4 || b.find_first_not_of("0123456789") != std::string::npos)
            CellError(r + 2, fields[col], "問題番号は 1 から 4 桁の数字です: '" + b + "'");
        if (b.find_first_not_of('0') == std::string::npos)
            CellError(r + 2, fields[col], "問題番号 " + b + " は使えません");
        if (!seen.insert(b).second)
            CellError(r + 2, fields[col], "問題番号 " + b + " が重複しています");
    }
}

void CheckBank(const std::vector<FieldDef>& fields, const std::vector<Row>& rows)
{
    CheckBango(fields, rows);
    CheckBunrui(fields, rows);
}

void CheckHazard(const std::vector<FieldDef>& fields, const std::vector<Row>& rows)
{
    CheckBango(fields, rows);
    CheckBunrui(fields, rows);
    const std::size_t bango = ColumnOf(fields, "Bango");
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto fail = [&](const std::string& field, const std::string& why) {
            CellError(r + 2, fields[ColumnOf(fields, field)], "危険予測 " + rows[r][bango].bytes + ": " + why);
        };
        if (rows[r][ColumnOf(fields, "Zu")].null || rows[r][ColumnOf(fields, "Zu")].bytes.empty())
            fail("Zu", "図がありません");
        for (const char* text : {"Jokyo", "Mondai1", "Mondai2", "Mondai3"}) {
            const Value& v = rows[r][ColumnOf(fields, text)];
            if (v.null || v.bytes.empty())
                fail(text, "文が空です");
        }
        for (const char* answer : {"Seikai1", "Seikai2", "Seikai3"}) {
            const Value& v = rows[r][ColumnOf(fields, answer)];
            if (v.null || (v.integer != 0 && v.integer != 1))
                fail(answer, "正解は 1 (正) か 0 (誤) です");
        }
    }
}

}  // namespace csvtable
