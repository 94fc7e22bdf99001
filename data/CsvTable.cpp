#include "CsvTable.h"

#include "Csv.h"
#include "EucJp.h"
#include "Exception.h"
#include "Picture.h"
#include "SafeFile.h"
#include "Syllabus.h"

#include <QByteArray>
#include <QStringDecoder>

#include <algorithm>

#include <charconv>
#include <climits>
#include <filesystem>
#include <optional>
#include <set>

namespace csvtable {
namespace {

std::string Base64(const std::string& bytes)
{
    return QByteArray(bytes.data(), qsizetype(bytes.size())).toBase64().toStdString();
}

// "12 行目, 項目 Seikai: ... / row 12, column Seikai: ...": the school's staff may read either.
std::string CellMessage(std::size_t row, const std::string& field, const std::string& ja, const std::string& en)
{
    const std::string r = std::to_string(row);
    return r + " 行目, 項目 " + field + ": " + ja + " / row " + r + ", column " + field + ": " + en;
}

[[noreturn]] void CellError(std::size_t row, const FieldDef& f, const std::string& ja, const std::string& en)
{
    throw Exception(CellMessage(row, f.name, ja, en));
}

// A problem a stored file may keep with a warning; new input (no WARNINGS) is refused.
void Tolerated(std::vector<std::string>* warnings, std::size_t row, const FieldDef& f, const std::string& ja,
               const std::string& en)
{
    if (!warnings)
        CellError(row, f, ja, en);
    warnings->push_back(CellMessage(row, f.name, ja, en));
}

// The first control character of TEXT as four hex digits, other than the tab and the line breaks
// a cell may hold: a NUL would cut the text short in other programs, others show as nothing.
std::optional<std::string> FirstControl(const QString& text)
{
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control && c != u'\t' && c != u'\n' && c != u'\r')
            return QString::number(c.unicode(), 16).rightJustified(4, u'0').toUpper().toStdString();
    return std::nullopt;
}

bool IsUtf8(const std::string& text) { return eucjp::ToUtf8(eucjp::FromUtf8(text)) == text; }

std::string Trimmed(const std::string& s)
{
    return eucjp::ToUtf8(eucjp::FromUtf8(s).trimmed());
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
            CellError(row, f, "整数ではありません: " + cell + "。数字だけを書いてください",
                      "not a whole number: " + cell + "; write digits only");
        if (v < INT32_MIN || v > INT32_MAX)
            CellError(row, f, "32 ビットの整数の範囲を超えています: " + cell, "outside 32-bit integers: " + cell);
        return Value(int(v));
    }
    case FieldType::Text: {
        const QString text = QString::fromUtf8(cell.data(), qsizetype(cell.size()));
        if (eucjp::ToUtf8(text) != cell)
            CellError(row, f, "UTF-8 として正しくありません", "not valid UTF-8");
        if (const auto c = FirstControl(text))
            CellError(row, f, "制御文字 (U+" + *c + ") が入っています。消してください",
                      "holds a control character (U+" + *c + "); remove it");
        std::string bytes;
        try {
            bytes = eucjp::Encode(text);
        } catch (const Exception& e) {
            CellError(row, f, std::string(e.what()) + "。別の文字に置き換えてください",
                      "a character has no EUC-JP form; replace it with another");
        }
        if (int(bytes.size()) > f.size)
            CellError(row, f,
                      "長すぎます (EUC-JP で " + std::to_string(bytes.size()) + " バイト, 上限 " +
                          std::to_string(f.size) + " バイト)。短くしてください",
                      "too long (" + std::to_string(bytes.size()) + " bytes in EUC-JP, at most " +
                          std::to_string(f.size) + "); shorten it");
        return Value(bytes);
    }
    case FieldType::Blob:
        if (cell.rfind("base64:", 0) == 0) {
            const auto r = QByteArray::fromBase64Encoding(QByteArray::fromStdString(cell.substr(7)),
                                                          QByteArray::AbortOnBase64DecodingErrors);
            if (!r)
                CellError(row, f, "base64 として正しくありません", "not valid base64");
            return Value((*r).toStdString());
        }
        if (cell.rfind("file:", 0) == 0) {
            try {
                return Value(readFile(cell.substr(5)));
            } catch (const Exception& e) {
                // The reader says why in both languages.
                const std::string r = std::to_string(row);
                throw Exception(r + " 行目, 項目 " + f.name + " (row " + r + ", column " + f.name + "): " + e.what());
            }
        }
        CellError(row, f, "base64: か file: で始めてください", "start the cell with base64: or file:");
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
            CellError(r + 2, *it, "教習項目の番号ではありません: " + std::to_string(v.integer) + "。101–114 か 201–217 を書くか、空にしてください",
                      "not a category code: " + std::to_string(v.integer) + "; write 101-114 or 201-217, or leave it empty");
    }
}

// A text cell beginning as a formula, ="…", which a spreadsheet shows as the text inside and
// Import reads back. A spreadsheet gets every text that it would otherwise compute or take for a
// number this way, and the question numbers so that their leading zeros stay; any reader gets
// only the texts that themselves begin with =", so that they are not unwrapped on the way back.
std::string TextCell(const FieldDef& field, const std::string& text, Reader reader)
{
    const bool wrap = text.compare(0, 2, "=\"") == 0 ||
                      (reader == Reader::Spreadsheet && !text.empty() &&
                       (field.name == "Bango" || std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos));
    if (!wrap)
        return text;
    std::string out = "=\"";
    for (char c : text) {
        if (c == '"')
            out.push_back('"');
        out.push_back(c);
    }
    return out + "\"";
}

// The text of a cell written by TextCell, or CELL itself when it is no such cell.
std::string Unwrapped(const std::string& cell)
{
    if (cell.size() <= 3 || cell.compare(0, 2, "=\"") != 0 || cell.back() != '"')
        return cell;
    std::string text;
    for (std::size_t i = 2; i + 1 < cell.size(); ++i) {
        if (cell[i] == '"') {
            if (i + 2 >= cell.size() || cell[i + 1] != '"')
                return cell;   // a lone quote: a formula of its own, not ours
            ++i;
        }
        text.push_back(cell[i]);
    }
    return text;
}

}  // namespace

std::string ReadFile(const std::string& path) { return safefile::Read(path, kMaxCsvBytes); }

FileReader PictureFiles(const std::string& folder)
{
    namespace fs = std::filesystem;
    return [folder](const std::string& name) -> std::string {
        if (name.empty() || name.find('\0') != std::string::npos)
            throw Exception("file: の後にファイル名がありません / no file name after file:");
        if (name.front() == '/')
            throw Exception("絶対パス (/ で始まる名前) は使えません。CSV のフォルダからの相対パスで書いてください: " + name +
                            " / an absolute path cannot be used; write the path relative to the CSV's folder: " + name);
        for (std::size_t start = 0; start <= name.size();) {
            const std::size_t end = std::min(name.find('/', start), name.size());
            if (name.compare(start, end - start, "..") == 0 && end - start == 2)
                throw Exception("「..」は使えません。図は CSV のフォルダかその下に置いてください: " + name +
                                " / \"..\" cannot be used; keep the pictures in the CSV's folder or below it: " + name);
            start = end + 1;
        }
        std::error_code ec;
        const fs::path root = fs::canonical(folder.empty() ? fs::path(".") : fs::path(folder), ec);
        const fs::path target = ec ? fs::path() : fs::canonical(root / name, ec);
        if (ec)
            throw Exception("ファイルがありません: " + name + " / no such file: " + name);
        // Links are followed only while they stay inside the CSV's folder.
        const std::string inside = root.string() == "/" ? "/" : root.string() + "/";
        if (target.string().compare(0, inside.size(), inside) != 0)
            throw Exception("CSV のフォルダの外を指すリンクです: " + name + " / a link leading out of the CSV's folder: " +
                            name);
        const std::string bytes = safefile::Read(target.string(), picture::kMaxBytes, safefile::Links::Refuse);
        if (picture::Sniff(bytes) == picture::Format::None)
            throw Exception("PNG, JPEG, GIF, BMP のどれかの画像ではありません: " + name +
                            " / not a PNG, JPEG, GIF or BMP picture: " + name);
        return bytes;
    };
}

std::string Export(const std::vector<FieldDef>& fields, const std::vector<Row>& rows,
                   const std::vector<std::size_t>& order, const BlobCell& blobCell, Reader reader)
{
    std::vector<std::size_t> columns = order;
    for (std::size_t i = 0; order.empty() && i < fields.size(); ++i)
        columns.push_back(i);
    csv::Record header;
    for (std::size_t i : columns)
        header.push_back(fields[i].name);
    std::string out = csv::Format(header);
    for (std::size_t n = 0; n < rows.size(); ++n) {
        const Row& row = rows[n];
        csv::Record r;
        for (std::size_t i : columns) {
            const Value& v = row[i];
            if (v.null)
                r.emplace_back();
            else if (fields[i].type == FieldType::Integer)
                r.push_back(std::to_string(v.integer));
            else if (fields[i].type == FieldType::Text)
                r.push_back(TextCell(fields[i], eucjp::ToUtf8(eucjp::Decode(v.bytes)), reader));
            else
                r.push_back(blobCell ? blobCell(n, fields[i], v.bytes) : "base64:" + Base64(v.bytes));
        }
        out += csv::Format(r);
    }
    return out;
}

std::string DecodeCsv(const std::string& bytes)
{
    const bool bom = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    const std::string text = bom ? bytes.substr(3) : bytes;
    if (IsUtf8(text))
        return text;
    QStringDecoder cp932("windows-31j", QStringConverter::Flag::Stateless);
    if (!cp932.isValid())
        throw Exception("Shift_JIS (CP932) を読めません / this system cannot read Shift_JIS (CP932)");
    // One encoding for the whole file, the one of its first line beyond ASCII (UTF-8 whatever
    // the lines say when the file begins with a byte-order mark): a file pasted together from
    // both would otherwise have its UTF-8 lines read as CP932, garbled without a word.
    std::optional<bool> utf8 = bom ? std::optional<bool>(true) : std::nullopt;
    std::size_t lineNo = 0;
    for (std::size_t start = 0; start < text.size(); ++lineNo) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line(text.data() + start, end - start);
        start = end + 1;
        if (std::all_of(line.begin(), line.end(), [](char c) { return (unsigned char)c < 0x80; }))
            continue;
        const bool lineUtf8 = IsUtf8(std::string(line));
        if (!lineUtf8) {
            const QString decoded = cp932.decode(QByteArrayView(line.data(), qsizetype(line.size())));
            if (cp932.hasError())
                throw Exception(std::to_string(lineNo + 1) +
                                " 行目: 文字コードが UTF-8 でも Shift_JIS (CP932) でもありません。表計算ソフトで"
                                "「CSV UTF-8 (コンマ区切り)」か「CSV (コンマ区切り)」として保存し直してください / line " +
                                std::to_string(lineNo + 1) +
                                ": neither UTF-8 nor Shift_JIS (CP932); save the CSV again from the spreadsheet as "
                                "\"CSV UTF-8 (Comma delimited)\" or \"CSV (Comma delimited)\"");
        }
        if (!utf8)
            utf8 = lineUtf8;
        else if (*utf8 != lineUtf8)
            throw Exception(std::to_string(lineNo + 1) + " 行目の文字コードが、それまでの行 (" + (*utf8 ? "UTF-8" : "Shift_JIS") +
                            ") と違います。一つの CSV は一つの文字コードで保存してください / line " + std::to_string(lineNo + 1) +
                            " is in another encoding than the lines before it (" + (*utf8 ? "UTF-8" : "Shift_JIS") +
                            "); save the whole CSV in one encoding");
    }
    const QString decoded = cp932.decode(QByteArrayView(text.data(), qsizetype(text.size())));
    return eucjp::ToUtf8(decoded);
}

std::vector<std::string> Columns(const std::string& csvText)
{
    const auto records = csv::Parse(csvText);
    std::vector<std::string> names;
    if (!records.empty())
        for (const std::string& n : records.front())
            names.push_back(Trimmed(n));
    return names;
}

std::vector<Row> Import(const std::vector<FieldDef>& layout, const std::string& csvText,
                        const FileReader& readFile)
{
    auto records = csv::Parse(csvText);
    if (records.empty())
        throw Exception("CSV に見出し行がありません / the CSV has no header row");
    csv::Record header = records.front();
    for (std::string& name : header)
        name = Trimmed(name);
    std::vector<std::size_t> columnOf;
    for (const auto& f : layout) {
        std::size_t found = header.size();
        for (std::size_t i = 0; i < header.size(); ++i)
            if (header[i] == f.name)
                found = i;
        if (found == header.size())
            throw Exception("CSV に列 " + f.name + " がありません。見出し行に " + f.name + " を加えてください / the CSV has no column " +
                            f.name + "; add it to the header row");
        columnOf.push_back(found);
    }
    // The empty rows a spreadsheet leaves below the table: nothing in the layout's columns.
    while (records.size() > 1 && std::all_of(columnOf.begin(), columnOf.end(), [&](std::size_t c) {
               return c >= records.back().size() || records.back()[c].empty();
           }))
        records.pop_back();
    std::vector<Row> rows;
    for (std::size_t r = 1; r < records.size(); ++r) {
        const csv::Record& rec = records[r];
        if (rec.size() == 1 && rec[0].empty())
            continue;   // a blank line
        if (rec.size() != header.size())
            throw Exception(std::to_string(r + 1) + " 行目: 列の数が見出しと合いません / row " + std::to_string(r + 1) +
                            ": the number of cells differs from the header's");
        Row row;
        for (std::size_t i = 0; i < layout.size(); ++i) {
            const std::string& cell = rec[columnOf[i]];
            row.push_back(Cell(layout[i].type == FieldType::Text ? Unwrapped(cell) : cell, layout[i], r + 1, readFile));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

void CheckBango(const std::vector<FieldDef>& fields, const std::vector<Row>& rows, std::vector<std::string>* warnings)
{
    const std::size_t col = ColumnOf(fields, "Bango");
    std::set<std::string> seen;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Value& v = rows[r][col];
        const std::string b = v.null ? std::string() : v.bytes;
        if (b.empty() || b.size() > 4 || b.find_first_not_of("0123456789") != std::string::npos)
            CellError(r + 2, fields[col], "問題番号は 0001 から 9999 までの 4 桁の数字です: '" + b + "'",
                      "the question number must be four digits, 0001 to 9999: '" + b + "'");
        if (b.find_first_not_of('0') == std::string::npos)
            CellError(r + 2, fields[col], "問題番号 " + b + " は使えません。0001 から 9999 にしてください",
                      "question number " + b + " cannot be used; use 0001 to 9999");
        if (b.size() < 4)
            Tolerated(warnings, r + 2, fields[col],
                      "問題番号は 4 桁で書いてください (" + b + " → " + PaddedBango(b) +
                          ")。表計算ソフトが先頭の 0 を消したときは、列の書式を「文字列」にして書き直してください",
                      "write the question number with four digits (" + b + " -> " + PaddedBango(b) +
                          "); if the spreadsheet dropped the leading zeros, format the column as text and write them "
                          "again");
        if (!seen.insert(PaddedBango(b)).second)
            CellError(r + 2, fields[col], "問題番号 " + b + " が重複しています。別の番号にしてください",
                      "question number " + b + " appears twice; give it another number");
    }
}

void CheckBank(const std::vector<FieldDef>& fields, const std::vector<Row>& rows, std::vector<std::string>* warnings)
{
    CheckBango(fields, rows, warnings);
    CheckBunrui(fields, rows);
    const std::size_t seikai = ColumnOf(fields, "Seikai"), nani = ColumnOf(fields, "Nani"),
                      kariHon = ColumnOf(fields, "KariHon");
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Value& s = rows[r][seikai];
        if (!s.null && s.integer == 2)
            Tolerated(warnings, r + 2, fields[seikai],
                      "正解が 2 です (どちらの答えも誤りになります)。正しいなら 1、誤りなら 0 にしてください",
                      "the answer is 2 (both answers count as wrong); write 1 if the statement is true, 0 if false");
        else if (s.null || (s.integer != 0 && s.integer != 1))
            CellError(r + 2, fields[seikai], "正解は 1 (正) か 0 (誤) です。どちらかを書いてください",
                      "the answer must be 1 (true) or 0 (false); write one of them");
        const Value& n = rows[r][nani];
        if (!n.null && (n.integer < -1 || n.integer > 105))
            CellError(r + 2, fields[nani], "難しさは -1 から 105 です: " + std::to_string(n.integer) + "。0 から 100 を書いてください",
                      "the difficulty must be -1 to 105: " + std::to_string(n.integer) + "; write 0 to 100");
        const Value& k = rows[r][kariHon];
        if (k.null || k.integer < 0 || k.integer > 2)
            CellError(r + 2, fields[kariHon],
                      "KariHon は 1 (仮免), 2 (本免だけ), 0 (出題しない) のどれかです: " +
                          (k.null ? std::string("空") : std::to_string(k.integer)),
                      "KariHon must be 1 (provisional licence), 2 (full licence only) or 0 (never asked): " +
                          (k.null ? std::string("empty") : std::to_string(k.integer)));
    }
}

void CheckHazard(const std::vector<FieldDef>& fields, const std::vector<Row>& rows, std::vector<std::string>* warnings)
{
    CheckBango(fields, rows, warnings);
    CheckBunrui(fields, rows);
    const std::size_t bango = ColumnOf(fields, "Bango");
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto fail = [&](const std::string& field, const std::string& ja, const std::string& en) {
            CellError(r + 2, fields[ColumnOf(fields, field)], "危険予測 " + rows[r][bango].bytes + ": " + ja,
                      "hazard item " + rows[r][bango].bytes + ": " + en);
        };
        if (rows[r][ColumnOf(fields, "Zu")].null || rows[r][ColumnOf(fields, "Zu")].bytes.empty())
            fail("Zu", "図がありません。file:figures/名前.png のように書いてください",
                 "no illustration; write file:figures/name.png");
        for (const char* text : {"Jokyo", "Mondai1", "Mondai2", "Mondai3"}) {
            const Value& v = rows[r][ColumnOf(fields, text)];
            if (v.null || v.bytes.empty())
                fail(text, "文が空です。書き入れてください", "the text is empty; write it");
        }
        for (const char* answer : {"Seikai1", "Seikai2", "Seikai3"}) {
            const Value& v = rows[r][ColumnOf(fields, answer)];
            if (v.null || (v.integer != 0 && v.integer != 1))
                fail(answer, "正解は 1 (正) か 0 (誤) です。どちらかを書いてください",
                     "the answer must be 1 (true) or 0 (false); write one of them");
        }
    }
}

std::string PaddedBango(const std::string& bango)
{
    return bango.size() < 4 ? std::string(4 - bango.size(), '0') + bango : bango;
}

}  // namespace csvtable
