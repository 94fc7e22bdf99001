// Reading what the learning-record window shows: the record's queries and the bank's
// statements, through the data directory. Kept apart from the arithmetic, which needs neither a
// database nor a table file.

#include "Statistics.h"

#include "Directory.h"
#include "Load.h"
#include "Layouts.h"
#include "Table.h"

#include <filesystem>

namespace field = layouts::field;

namespace progress {

Snapshot Load(const record::LearningRecord& record, std::vector<StatementKey> statements)
{
    Snapshot s;
    s.sessions = record.Sessions();
    s.rates = record.RateByCategory(kItemWindow);
    s.latest = record.LatestResults();
    s.pupil = record.Pupil();
    s.statements = std::move(statements);
    return s;
}

Snapshot LoadRecord(const std::string& path, std::vector<StatementKey> statements)
{
    record::LearningRecord record;
    record.OpenForReading(path);
    if (record.Version() < record::LearningRecord::kQueriesVersion) {
        record.Close();
        record.Open(path);
    }
    return Load(record, std::move(statements));
}

namespace {

bool Exists(const data::Directory& directory, const char* name)
{
    std::error_code error;
    return std::filesystem::is_regular_file(directory.FilePath(name), error);
}

// Every stored record's Bango, as stored: the drill and the exams record it so.
std::vector<std::string> Bangos(const Table& table)
{
    std::vector<std::string> out;
    const int bango = table.FieldIndex(field::Bango);
    for (std::size_t i = 0; i < table.StoredCount(); ++i)
        out.push_back(table.StoredValue(i, bango).bytes);
    return out;
}

}  // namespace

std::vector<StatementKey> BankStatements(const data::Directory& directory)
{
    std::vector<StatementKey> keys;
    if (Exists(directory, layouts::kBankFile)) {
        Table bank;
        directory.OpenBank(bank);
        for (std::string& bango : Bangos(bank))
            keys.push_back({record::kSourceBank, std::move(bango), 0});
    }
    if (directory.HasHazard()) {
        Table hazards;
        directory.OpenHazard(hazards);
        // Each hazard item holds three statements, answered and recorded one by one.
        for (const std::string& bango : Bangos(hazards))
            for (int item = 1; item <= 3; ++item)
                keys.push_back({record::kSourceHazard, bango, item});
    }
    return keys;
}

Snapshot LoadSnapshot(const data::Directory& directory)
{
    std::vector<StatementKey> statements = BankStatements(directory);
    Snapshot s;
    if (!Exists(directory, record::kFileName))
        s.statements = std::move(statements);
    else
        s = LoadRecord(directory.FilePath(record::kFileName), std::move(statements));
    // Read after LoadRecord, which upgrades a first-version record the scheduler reads too.
    const study::Outlook outlook = study::LoadOutlook(directory.Path());
    if (!outlook.statements.empty())
        s.study = OutlookAt(outlook, QDateTime::currentDateTime());
    return s;
}

}  // namespace progress
