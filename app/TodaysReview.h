#pragma once
// The menu's 今日の復習 count: today's queue of the data directory the settings file names.

#include <optional>
#include <string>

// How many statements today's review holds for the data directory SETTINGSFILE names, read
// without writing anything; nothing when no directory is named yet or its files cannot be read
// (the button then says no number, and a click tells the pupil why).
std::optional<int> TodaysReviewCount(const std::string& settingsFile);
