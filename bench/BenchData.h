#pragma once
// Data for the benchmarks: seeded question banks, histories and advice tables with realistic
// EUC-JP texts and, on request, a ~30 KB PNG figure on every question. Everything is made here
// from a fixed seed, so two runs measure the same data.

#include "Fields.h"
#include "LearningRecord.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace benchdata {

struct BankShape {
    int questions = 1000;
    bool figures = false;
    // Every question's settled count raised by 200: the lowest settled count is then 200, so a
    // drill's first search climbs the pass limit from 0 to 200 (a pupil after 200 drills).
    bool worstCase = false;
};

// The figure stored in every question: a noisy PNG of the picture area's size, made once.
const std::string& FigurePng();

// Bank rows in the bank's field order: numbers 0001.., settled counts 0..200 (200..400 in the
// worst case), answer counts up to 40 above them, difficulties 0..105 as those counts give
// them, 3 % of the questions outside the stage (KariHon 0).
std::vector<Row> BankRows(const BankShape& shape);
// ANSWERS history rows for questions of a bank of QUESTIONS questions, about 80 % right
// (ALLRIGHT: every one right).
std::vector<Row> HistoryRows(int answers, int questions, bool allRight = false);
// One advice record per level -1..100.
std::vector<Row> AdviceRows();

// The three integer columns the search reads, copied out of bank rows.
struct SearchColumns {
    std::vector<std::int32_t> nani, nkaisu, karihon;
};
SearchColumns ColumnsOf(const std::vector<Row>& bankRows);

// A data directory ("…/", ending in a slash) with mondai.cds, rireki.cds (HISTORY answers) and
// advice.cds, and a settings file Lentavo.inf beside them naming it.
struct DataDir {
    std::string directory;      // ends in "/"
    std::string settingsFile;
    std::string historyBackup;  // a pristine copy of rireki.cds, to undo a drill
};

// Writes a data directory at DIRECTORY (created when missing).
DataDir MakeDataDir(const std::string& directory, const BankShape& shape, int history,
                    bool allRight = false);

// A data directory of its own for one benchmark, removed with the object. Banks are generated
// once per shape in the process and copied.
class WorkDir {
public:
    WorkDir(const BankShape& shape, int history, bool allRight = false);
    ~WorkDir();
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;
    const DataDir& dir() const { return dir_; }

private:
    std::string root_;
    DataDir dir_;
};

// A learning record made afresh at PATH: SESSIONS drill sessions holding ANSWERS answers between
// them, each answer made by NEXT from one generator seeded alike in every run.
void MakeDrillRecord(const std::string& path, int sessions, int answers,
                     const std::function<record::Answer(std::mt19937&)>& next);

// Puts the pristine history back.
void RestoreHistory(const DataDir& dir);

// The root of the process's scratch files ($LENTAVO_BENCH_TMP, else the system's temporary
// folder), removed when the process ends.
const std::string& ScratchRoot();

std::uintmax_t FileSize(const std::string& path);

}  // namespace benchdata
