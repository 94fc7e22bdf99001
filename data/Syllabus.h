#pragma once
// The 教習項目 of the curriculum: the codes a question's Bunrui holds, with their names.
// 101-114 are the first stage (仮免 and 本免), 201-217 the second (本免 only).

#include <QString>

#include <string_view>
#include <vector>

namespace syllabus {

struct Item {
    int code;
    std::string_view name;   // UTF-8
    int stage;               // 1 or 2
};

// Every item, by code.
const std::vector<Item>& Items();
// ITEM's name in the pupil's language (the windows'; files and tools keep the Japanese).
QString DisplayName(const Item& item);
// The item with CODE, nullptr for an unknown code.
const Item* Find(int code);

}  // namespace syllabus
