#include "Load.h"

#include "Checkpoint.h"
#include "Layouts.h"
#include "LearningRecord.h"
#include "Table.h"

#include <QFileInfo>

#include <sys/stat.h>

namespace study {

namespace {
// A Bango as stored: the drill and the exams record it so, and the memory is keyed by the record.
const std::string& Bango(const Value& v) { return v.bytes; }

bool Exists(const std::string& path) { return QFileInfo::exists(QString::fromStdString(path)); }
}  // namespace

std::vector<Statement> Statements(const std::string& directory)
{
    std::vector<Statement> out;
    const std::string bank = directory + layouts::kBankFile;
    if (Exists(bank)) {
        Table table;
        table.SetFileName(bank);
        table.SetRequiredFields(layouts::Bank());
        table.Open();
        const int bango = table.FieldIndex("Bango");
        const int kariHon = table.FieldIndex("KariHon");
        const int nani = table.FieldIndex("Nani");
        for (std::size_t i = 0; i < table.StoredCount(); ++i) {
            const int stage = table.StoredValue(i, kariHon).integer;
            if (stage != 1 && stage != 2)
                continue;   // hidden from every drill
            const Value& n = table.StoredValue(i, nani);
            out.push_back({{record::kSourceBank, Bango(table.StoredValue(i, bango)), 0}, stage,
                           n.null ? std::nullopt : std::optional<int>(n.integer)});
        }
    }
    const std::string hazard = directory + layouts::kHazardFile;
    if (Exists(hazard)) {
        Table table;
        table.SetFileName(hazard);
        table.SetRequiredFields(layouts::Hazard());
        table.Open();
        const int bango = table.FieldIndex("Bango");
        for (std::size_t i = 0; i < table.StoredCount(); ++i)
            for (int item = 1; item <= 3; ++item)
                out.push_back({{record::kSourceHazard, Bango(table.StoredValue(i, bango)), item}, 2, {}});
    }
    return out;
}

void Feed(Learner& learner, const record::Review& a, StoredTimeReader& time)
{
    if (a.answer < 0)
        return;
    if (const std::optional<double> when = time(a.answeredAt))
        learner.Answer(a.source, a.bango, a.item, *when, a.correct);
}

Learner Replay(const record::LearningRecord& record, MemoryModel model)
{
    Learner learner(model);
    StoredTimeReader time;
    record.ForEachReview([&](const record::Review& a) { Feed(learner, a, time); });
    return learner;
}

const char* TestWord(Test test) { return test == Test::Honmen ? "honmen" : "karimen"; }

std::optional<std::pair<Test, QDate>> TestDateOf(const record::PupilProfile& profile)
{
    if (!profile.test || !profile.testDate)
        return std::nullopt;
    std::optional<Test> test;
    for (Test t : {Test::Karimen, Test::Honmen})
        if (*profile.test == TestWord(t))
            test = t;
    const QDate date = QDate::fromString(QString::fromStdString(*profile.testDate), Qt::ISODate);
    if (!test || !date.isValid())
        return std::nullopt;
    return std::make_pair(*test, date);
}

Outlook LoadOutlook(const std::string& directory, const record::LearningRecord* record)
{
    Outlook o;
    o.statements = Statements(directory);
    if (record) {
        o.learner = ReplayKept(*record, CheckpointFile(directory + record::kFileName));
        if (const auto date = TestDateOf(record->Pupil())) {
            o.options.test = date->first;
            o.options.testDate = date->second;
        }
    }
    o.options.stage = CurrentStage(o.learner, o.statements);
    return o;
}

Outlook LoadOutlook(const std::string& directory)
{
    const std::string path = directory + record::kFileName;
    if (!Exists(path))
        return LoadOutlook(directory, nullptr);
    record::LearningRecord record;
    record.OpenForReading(path);
    return LoadOutlook(directory, &record);
}

namespace {
// What tells one version of the file at PATH from another: the file (device and inode), its size
// and its modification time to the nanosecond; "-" for no file.
std::string Stamp(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return "-";
    return std::to_string(st.st_dev) + ':' + std::to_string(st.st_ino) + ':' + std::to_string(st.st_size) + ':' +
           std::to_string(st.st_mtim.tv_sec) + '.' + std::to_string(st.st_mtim.tv_nsec);
}

std::vector<std::string> Stamps(const std::string& directory)
{
    const std::string recordFile = directory + record::kFileName;
    return {Stamp(directory + layouts::kBankFile), Stamp(directory + layouts::kHazardFile), Stamp(recordFile),
            Stamp(recordFile + "-wal")};
}
}  // namespace

const Outlook& OutlookCache::Get(const std::string& directory)
{
    // Taken before the files are read: a change while they are read shows at the next look.
    std::vector<std::string> stamps = Stamps(directory);
    if (outlook_ && directory == directory_ && stamps == stamps_)
        return *outlook_;
    outlook_.reset();
    ++loads_;
    Outlook loaded = LoadOutlook(directory);
    directory_ = directory;
    stamps_ = std::move(stamps);
    return outlook_.emplace(std::move(loaded));
}

Queue TodaysQueue(const Outlook& outlook, const QDateTime& now)
{
    return TodaysQueue(outlook.learner, outlook.statements, now, now.timeZone(), outlook.options);
}

}  // namespace study
