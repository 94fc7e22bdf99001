// A learning record made of arbitrary bytes. Opening must either succeed or throw Exception; a
// record that opens must answer every query, take a session and an answer, and open again holding
// that answer.

#include "Exception.h"
#include "LearningRecord.h"

#include <cstdint>
#include <filesystem>
#include <string>

#include "FuzzSupport.h"

namespace {

std::size_t CountAnswers(const record::LearningRecord& rec)
{
    std::size_t n = 0;
    rec.ForEachAnswer([&](const record::AnswerInSession&) { ++n; });
    return n;
}

void Exercise(const std::string& path)
{
    record::LearningRecord rec;
    try {
        rec.Open(path);
    } catch (const Exception&) {
        return;
    }
    std::size_t before = 0;
    try {
        // A file that opened may still hold values of other types than ours; reading them must
        // not crash, whether or not it succeeds.
        rec.LatestResults();
        rec.LatestWrong();
        rec.RateByCategory(20);
        rec.Sessions();
        before = CountAnswers(rec);
    } catch (const Exception&) {
        return;
    }
    record::Answer a;
    a.bango = "0001";
    a.bunrui = 101;
    a.answer = 1;
    a.correct = true;
    try {
        const auto session = rec.BeginSession({record::kDrill, 1, {}});
        rec.AddAnswer(session, a);
        rec.EndSession(session);
    } catch (const Exception&) {
        return;   // a file corrupt beyond what opening checks may refuse the write
    }
    rec.Close();
    record::LearningRecord again;
    try {
        again.Open(path);
    } catch (const Exception& e) {
        fuzz::Fail(("a written record does not open again: " + std::string(e.what())).c_str(), __FILE__, __LINE__);
    }
    FUZZ_CHECK(CountAnswers(again) == before + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = fuzz::ScratchDir() + "/kiroku.sqlite";
    // A log left by the last input would be replayed into this one.
    for (const char* suffix : {"-wal", "-shm", "-journal"})
        std::filesystem::remove(path + suffix);
    fuzz::WriteFile(path, data, size);
    Exercise(path);
    return 0;
}
