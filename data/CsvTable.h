#pragma once
// Table contents as CSV (RFC 4180, UTF-8): the conversion tabletool offers to bank authors.

#include "Fields.h"

#include <functional>
#include <string>
#include <vector>

namespace csvtable {

// A header of the field names, then one row per record: integers in decimal, text decoded from
// EUC-JP, blobs as "base64:" and their data, an empty cell for an empty value.
// The cell for blob FIELD of row ROW holding BYTES, in place of "base64:" and its data.
using BlobCell = std::function<std::string(std::size_t row, const FieldDef& field, const std::string& bytes)>;

// Who opens the CSV. A spreadsheet computes a cell beginning with =, +, - or @ (and takes one
// beginning with a tab or CR for something else): for it such texts, and the question numbers
// (whose leading zeros it would drop), are written as ="text" with quotes doubled, which it shows
// as the text. Any reader gets only the texts that themselves begin with =" written that way.
// Import reads both back as the text.
enum class Reader { Any, Spreadsheet };

// ORDER, when given, lists the fields' indexes in the order of the columns; BLOB_CELL, when
// given, writes the blobs' cells.
std::string Export(const std::vector<FieldDef>& fields, const std::vector<Row>& rows,
                   const std::vector<std::size_t>& order = {}, const BlobCell& blobCell = {},
                   Reader reader = Reader::Any);

// A CSV file's bytes as UTF-8 text: UTF-8 (with or without a byte-order mark, which is dropped)
// as it is, else CP932, what Japanese spreadsheets save. Throws, saying how to save the file, for
// bytes that are neither. One encoding per file: a line beyond ASCII in the other encoding than
// the first such line (or than UTF-8 after a byte-order mark) is refused, naming the line.
std::string DecodeCsv(const std::string& bytes);

// The header's column names, blanks around each trimmed (spreadsheets leave trailing ones).
std::vector<std::string> Columns(const std::string& csvText);

// Reads the file a "file:PATH" cell names (PATH relative to the CSV's folder).
using FileReader = std::function<std::string(const std::string& path)>;

// The reader of "file:" cells of a CSV in FOLDER: a regular file in FOLDER or below it (no
// absolute path, no "..", no link leading out of FOLDER), of at most picture::kMaxBytes, that is
// a PNG, JPEG, GIF or BMP picture by its first bytes. Anything else throws Exception saying why
// in Japanese and English; a pipe or a device is refused without being read.
FileReader PictureFiles(const std::string& folder);

// Rows in LAYOUT's field order from CSV text (UTF-8) whose header names every field (in any
// order; names trimmed). Text cells written as ="text" (see Reader) are read as the text. Rows at the end with nothing in LAYOUT's columns are skipped, as
// spreadsheets write empty rows below a table. Throws Exception naming the row and the field for a text with no EUC-JP form or
// longer than its field or holding a control character other than a tab or a line break, an integer outside 32 bits, a bad blob cell, a missing column.
std::vector<Row> Import(const std::vector<FieldDef>& layout, const std::string& csvText,
                        const FileReader& readFile);

// The checks below throw Exception naming the row (as a CSV line: the header is line 1) and the
// column, in Japanese and English, and saying how to fix it. What a stored file may hold because
// the program copes with it, but new input must not, goes into WARNINGS when given (checking a
// stored file) and is refused like the rest when WARNINGS is null (new input).

// Question numbers: exactly four digits, never 0000, never repeated (also not as 1 and 0001).
// A stored number of one to three digits is a warning.
void CheckBango(const std::vector<FieldDef>& fields, const std::vector<Row>& rows,
                std::vector<std::string>* warnings = nullptr);

// A bank: its numbers as CheckBango; Seikai 1 (正) or 0 (誤), a stored 2 (read as "both answers
// wrong") a warning; Nani empty or -1 to 105; KariHon 0 to 2; Bunrui, where it has one, empty or
// a code of the syllabus.
void CheckBank(const std::vector<FieldDef>& fields, const std::vector<Row>& rows,
               std::vector<std::string>* warnings);

// Hazard items: numbers as a bank's, Bunrui empty or a code of the syllabus, an illustration, a
// situation and three statements that are not empty, each sub-answer 1 (正) or 0 (誤).
void CheckHazard(const std::vector<FieldDef>& fields, const std::vector<Row>& rows,
                 std::vector<std::string>* warnings);

// A question number of up to four characters with leading zeros to four ("42" -> "0042"): how
// numbers of files made before four digits were required match today's.
std::string PaddedBango(const std::string& bango);

// The largest CSV read: a bank of 9,999 questions with pictures inline is far below it.
inline constexpr std::size_t kMaxCsvBytes = std::size_t(1) << 30;

// The whole regular file (see safefile::Read), of at most kMaxCsvBytes, or Exception.
std::string ReadFile(const std::string& path);

}  // namespace csvtable
