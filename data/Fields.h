#pragma once
// Field definitions and values shared by the table store, the table files and the record layouts.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class FieldType { Integer, Text, Blob };

struct FieldDef {
    std::string name;   // ASCII
    FieldType type;
    int size = 0;       // bytes for text fields, 0 for the others
};

// One cell. Text holds the exact EUC-JP bytes; blob holds raw bytes. A null cell is empty. A
// deferred cell is a blob (a picture) that the table store has left in its file until it is asked
// for: not null, its bytes not here.
struct Value {
    bool null = true;
    std::int32_t integer = 0;
    std::string bytes;
    bool deferred = false;

    Value() = default;
    Value(int i) : null(false), integer(i) {}
    Value(std::string b) : null(false), bytes(std::move(b)) {}
    Value(const char* b) : null(false), bytes(b) {}

    static Value Null() { return Value(); }
    static Value Deferred()
    {
        Value v;
        v.null = false;
        v.deferred = true;
        return v;
    }
    bool operator==(const Value&) const = default;
};

using Row = std::vector<Value>;

const char* FieldTypeName(FieldType t);

// A field's name: an ASCII identifier of up to 64 characters (not "id", which the table files
// use for the record id).
bool IsFieldName(const std::string& name);
// Whether a field list is valid for a table file: names, no name twice, types and sizes.
bool ValidFields(const std::vector<FieldDef>& fields);
// Throws Exception, saying what is wrong, unless ValidFields.
void CheckFields(const std::vector<FieldDef>& fields);
std::optional<FieldType> FieldTypeFromName(const std::string& name);
