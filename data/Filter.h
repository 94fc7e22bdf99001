#pragma once
// Filter expressions, compiled once into a predicate over a record's values.

#include "Fields.h"

#include <cstdint>
#include <string>
#include <vector>

class Filter {
public:
    // Throws Exception with a readable message for a malformed text or an unknown field.
    Filter(const std::string& text, const std::vector<FieldDef>& fields);
    bool Matches(const Row& row) const;

    enum class Op { Eq, Ge, Le, Gt };
    struct Condition {
        int field;
        Op op;
        bool text;
        std::int64_t number;
        std::string word;
    };
    const std::vector<Condition>& Conditions() const { return conditions_; }

private:
    std::vector<Condition> conditions_;
};
