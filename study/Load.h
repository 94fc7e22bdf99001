#pragma once
// The scheduler's inputs read from a data directory: its statements (mondai.cds and kiken.cds)
// and the pupil's memory replayed from the learning record.

#include "Schedule.h"

#include <string>
#include <vector>

namespace record {
class LearningRecord;
struct PupilProfile;
struct Review;
}

namespace study {

// The bank's statements shown in drills (KariHon 1 or 2, in the file's order) and the hazard
// items' sub-statements (three each, 本免). A missing file adds none; a damaged one throws
// Exception.
std::vector<Statement> Statements(const std::string& directory);

// Every answer of RECORD replayed in the order answered. Unanswered mock questions (-1) are
// left out: the pupil may never have reached them.
Learner Replay(const record::LearningRecord& record, MemoryModel model = MemoryModel());
// One answer of the replay: REVIEW given to LEARNER, unless it was left unanswered or its time
// cannot be read. TIME reads the answers' times, one reader per run of answers.
void Feed(Learner& learner, const record::Review& review, StoredTimeReader& time);

// The test and date PROFILE names, when it names a test this program plans for (仮免, 本免) and a
// real date; nothing otherwise.
std::optional<std::pair<Test, QDate>> TestDateOf(const record::PupilProfile& profile);
// The word the record stores for TEST.
const char* TestWord(Test test);

// What 今日の復習 and 学習記録 need of a data directory: its statements, the pupil's memory and
// the options the pupil's record sets (the test date; the current stage).
struct Outlook {
    std::vector<Statement> statements;
    Learner learner;
    Options options;
};
// From DIRECTORY's bank and hazard files and RECORD (none: a pupil without a record yet).
Outlook LoadOutlook(const std::string& directory, const record::LearningRecord* record);
// The same with DIRECTORY's own record, read without writing anything (a missing record is a
// pupil without one). Throws Exception for a damaged record or bank.
Outlook LoadOutlook(const std::string& directory);
// LoadOutlook(directory) kept between calls: loaded again only when a file it reads changed
// (the bank, the hazard items, the record or its write-ahead log: another file in their place,
// another size or another modification time), so a window that shows today's count whenever it
// becomes active replays the record once per change, not once per look. The queue itself
// depends on the time of day and is made afresh from it (TodaysQueue, well under a millisecond).
class OutlookCache {
public:
    // Throws Exception as LoadOutlook does; nothing is kept then.
    const Outlook& Get(const std::string& directory);
    // How many times Get loaded the directory's files.
    int Loads() const { return loads_; }

private:
    std::string directory_;
    std::vector<std::string> stamps_;
    std::optional<Outlook> outlook_;
    int loads_ = 0;
};

// Today's queue of OUTLOOK at NOW, in NOW's time zone.
Queue TodaysQueue(const Outlook& outlook, const QDateTime& now);

}  // namespace study
