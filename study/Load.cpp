#include "Load.h"

#include "EucJp.h"
#include "Layouts.h"
#include "LearningRecord.h"
#include "Table.h"

#include <QFileInfo>

namespace study {

namespace {
std::string Text(const Value& v) { return eucjp::ToUtf8(eucjp::Decode(v.bytes)); }

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
            out.push_back({{record::kSourceBank, Text(table.StoredValue(i, bango)), 0}, stage,
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
                out.push_back({{record::kSourceHazard, Text(table.StoredValue(i, bango)), item}, 2, {}});
    }
    return out;
}

Learner Replay(const record::LearningRecord& record, MemoryModel model)
{
    Learner learner(model);
    record.ForEachAnswer([&](const record::AnswerInSession& a) {
        if (a.answer.answer < 0)
            return;
        if (const std::optional<double> when = ParseStoredTime(a.answeredAt))
            learner.Answer({a.answer.source, a.answer.bango, a.answer.item}, *when, a.answer.correct);
    });
    return learner;
}

}  // namespace study
