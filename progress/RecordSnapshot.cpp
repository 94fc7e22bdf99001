// Reading what the window shows: the record's queries and the bank's statements. Kept apart
// from the arithmetic, which needs neither a database nor a table file.

#include "Statistics.h"

#include "EucJp.h"
#include "Layouts.h"
#include "Table.h"

#include <QFileInfo>

namespace progress {

Snapshot Load(const record::LearningRecord& record, std::vector<StatementKey> statements)
{
    Snapshot s;
    s.sessions = record.Sessions();
    s.rates = record.RateByCategory(kItemWindow);
    s.latest = record.LatestResults();
    s.statements = std::move(statements);
    return s;
}

Snapshot LoadRecord(const std::string& path, std::vector<StatementKey> statements)
{
    record::LearningRecord record;
    record.OpenForReading(path);
    if (record.Version() < record::LearningRecord::kSchemaVersion) {
        record.Close();
        record.Open(path);
    }
    return Load(record, std::move(statements));
}

namespace {
// Every stored record's Bango of the table file at PATH; nothing when there is no such file.
std::vector<std::string> Bangos(const std::string& path)
{
    std::vector<std::string> out;
    if (!QFileInfo::exists(QString::fromStdString(path)))
        return out;
    Table table;
    table.SetFileName(path);
    table.Open();
    const int field = table.FieldIndex("Bango");
    if (field < 0)
        return out;
    for (std::size_t i = 0; i < table.StoredCount(); ++i)
        out.push_back(eucjp::ToUtf8(eucjp::Decode(table.StoredValue(i, field).bytes)));
    return out;
}
}  // namespace

std::vector<StatementKey> BankStatements(const std::string& directory)
{
    std::vector<StatementKey> keys;
    for (std::string& bango : Bangos(directory + layouts::kBankFile))
        keys.push_back({record::kSourceBank, std::move(bango), 0});
    // Each hazard item holds three statements, answered and recorded one by one.
    for (const std::string& bango : Bangos(directory + "kiken.cds"))
        for (int item = 1; item <= 3; ++item)
            keys.push_back({record::kSourceHazard, bango, item});
    return keys;
}

}  // namespace progress
