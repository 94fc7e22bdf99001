#pragma once
// A drill as the question window runs it, without the window: a data directory's three tables
// and the drill's own session on them (drill::Session), so that the figures measure the same
// steps the window takes.

#include "Directory.h"
#include "Exception.h"
#include "Session.h"
#include "Table.h"

#include <string>

namespace benchdrill {

struct Drill {
    Table bank;
    Table history;
    Table advice;
    drill::Session session{bank, history, advice};
    int& DrillLevel = session.DrillLevel;
    int& LKaisu = session.LKaisu;

    // From the settings file to the first question, as the window's start does it (without
    // the directory lock and the views). False when no question qualifies.
    bool Start(const std::string& settingsFile)
    {
        const auto dir = data::Directory::FromSettings(settingsFile);
        if (!dir)
            throw Exception("設定ファイルがありません: " + settingsFile);
        dir->OpenBank(bank);
        dir->OpenHistory(history);
        dir->OpenAdvice(advice);
        return session.Start();
    }
    bool Judge(int answer) { return session.Judge(answer).right; }
    int RightAnswer() { return session.RightAnswer(); }
    bool Next() { return session.Next(); }
    void End() { session.End(); }
};

}  // namespace benchdrill
