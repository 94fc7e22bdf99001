#pragma once
// The menu's 今日の復習 count: today's queue of the data directory the settings file names.

#include "Load.h"

#include <optional>
#include <string>

// How many statements today's review holds for the data directory SETTINGSFILE names, read
// without writing anything; nothing when no directory is named yet or its files cannot be read
// (the button then says no number, and a click tells the pupil why). The record is replayed
// only when its files changed since the last count.
class TodaysReviewCounter {
public:
    std::optional<int> Count(const std::string& settingsFile);

private:
    study::OutlookCache cache_;
};
