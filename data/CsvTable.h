#pragma once
// Table contents as CSV (RFC 4180, UTF-8): the conversion tabletool offers to bank authors.

#include "Fields.h"

#include <functional>
#include <string>
#include <vector>

namespace csvtable {

// A header of the field names, then one row per record: integers in decimal, text decoded from
// EUC-JP, blobs as "base64:" and their data, an empty cell for an empty value.
std::string Export(const std::vector<FieldDef>& fields, const std::vector<Row>& rows);

// Reads the file a "file:PATH" cell names (PATH relative to the CSV's folder).
using FileReader = std::function<std::string(const std::string& path)>;

// Rows in LAYOUT's field order from CSV text whose header names every field (in any order).
// Throws Exception naming the row and the field for a text with no EUC-JP form or longer than
// its field, an integer outside 32 bits, a bad blob cell, a missing column.
std::vector<Row> Import(const std::vector<FieldDef>& layout, const std::string& csvText,
                        const FileReader& readFile);

// The bank's question numbers: 1 to 4 digits, never 0000, never repeated. Throws otherwise.
void CheckBango(const std::vector<FieldDef>& fields, const std::vector<Row>& rows);

// A bank: its question numbers as CheckBango, and its Bunrui, where it has one, empty or a code
// of the syllabus. Throws naming the row otherwise.
void CheckBank(const std::vector<FieldDef>& fields, const std::vector<Row>& rows);

// Hazard items: numbers as a bank's, Bunrui empty or a code of the syllabus, an illustration, a
// situation and three statements that are not empty, each sub-answer 1 (正) or 0 (誤). Throws
// naming the row otherwise.
void CheckHazard(const std::vector<FieldDef>& fields, const std::vector<Row>& rows);

// The whole file, or Exception.
std::string ReadFile(const std::string& path);

}  // namespace csvtable
