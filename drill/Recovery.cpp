#include "Recovery.h"

#include "Directory.h"
#include "Session.h"
#include "Table.h"

namespace drill {

bool HistoryHolds(Table& history, const std::vector<record::Answer>& answers)
{
    bool same = std::size_t(history.RecordCount()) >= answers.size();
    history.First();
    // By statement only: the verdict stored is the bank's, which may have been corrected since.
    for (std::size_t i = 0; same && i < answers.size(); ++i, history.Next())
        same = history.FieldByName("Bango").AsString() == answers[i].bango;
    return same;
}

std::optional<record::UnfinishedDrill> FindUnstoredDrill(const data::Directory& data,
                                                         const record::LearningRecord& record)
{
    std::optional<record::UnfinishedDrill> drill = record.LatestUnfinishedDrill();
    if (!drill)
        return std::nullopt;
    // A drill with no answer is stored by any history: there is nothing to store.
    Table history;
    data.OpenHistory(history);
    if (HistoryHolds(history, drill->answers))
        return std::nullopt;
    return drill;
}

void StoreUnstoredDrill(const data::Directory& data, record::LearningRecord& record,
                        const record::UnfinishedDrill& drill, bool resetSettled)
{
    Table bank, history, advice;
    try {
        data.OpenBank(bank);
        data.OpenHistory(history);
        data.OpenAdvice(advice);
        // Killed after the write-back but before the record heard of it: only the end is missing.
        if (!HistoryHolds(history, drill.answers)) {
            Session session(bank, history, advice);
            session.ResetSettledCounts = resetSettled;
            session.DrillLevel = drill.level.value_or(0);
            session.Replay(drill.answers);
            session.End();
        }
    } catch (...) {
        // Nothing half-stored: the tables' own closing would write each one alone.
        for (Table* t : {&bank, &history, &advice})
            t->Discard();
        throw;
    }
    for (Table* t : {&bank, &history, &advice})
        t->Discard();
    record.EndSession(drill.session);
}

}  // namespace drill
