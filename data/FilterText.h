#pragma once
// Filter texts for Table::SetFilter, built from field names and values instead of pasted
// together. A value the filter language cannot say as one word (a blank, a quote, a control
// character, nothing at all) is refused here with a message. Pasted in, a value such as
// "1 AND KariHon >= 0" reads as a second condition and selects other records; only the size of
// today's fields keeps such values out, and the builder does not rely on it.

#include <cstdint>
#include <string>

class FilterText {
public:
    FilterText& Equals(const std::string& field, std::int64_t value);
    FilterText& Equals(const std::string& field, const std::string& word);
    FilterText& AtLeast(const std::string& field, std::int64_t value);
    FilterText& AtMost(const std::string& field, std::int64_t value);
    FilterText& Above(const std::string& field, std::int64_t value);

    // The conditions joined by AND, as the filter parser reads them.
    const std::string& Text() const { return text_; }
    operator const std::string&() const { return text_; }

private:
    FilterText& Add(const std::string& field, const char* op, const std::string& literal);
    std::string text_;
};
