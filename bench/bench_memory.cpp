// Makes benchmark data directories, and runs one drill on one for a peak-memory measurement
// (scripts/bench.sh runs it under /usr/bin/time -v).
//
//   bench_memory make DIR QUESTIONS FIGURES(0|1) HISTORY
//       writes DIR/data/{mondai,rireki,advice}.cds and DIR/Lentavo.inf naming DIR/data/
//   bench_memory drill SETTINGSFILE ANSWERS
//       the drill start, ANSWERS answers each followed by "次の問題", the drill end
//   bench_memory idle
//       nothing: the process's own footprint, for comparison

#include "BenchData.h"
#include "BenchDrill.h"
#include "Layouts.h"

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

namespace {

long PeakKilobytes()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: bench_memory make DIR QUESTIONS FIGURES HISTORY\n"
                 "       bench_memory drill SETTINGSFILE ANSWERS\n"
                 "       bench_memory idle\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        const std::string mode = argc > 1 ? argv[1] : "";
        if (mode == "make" && argc == 6) {
            benchdata::BankShape shape;
            shape.questions = std::atoi(argv[3]);
            shape.figures = std::atoi(argv[4]) != 0;
            const auto d = benchdata::MakeDataDir(argv[2], shape, std::atoi(argv[5]));
            std::printf("settings %s\nbank_bytes %ju\n", d.settingsFile.c_str(),
                        benchdata::FileSize(d.directory + layouts::kBankFile));
            return 0;
        }
        if (mode == "drill" && argc == 4) {
            const int answers = std::atoi(argv[3]);
            benchdrill::Drill d;
            d.DrillLevel = 5;
            if (!d.Start(argv[2])) {
                std::fprintf(stderr, "no question qualifies\n");
                return 1;
            }
            for (int i = 0; i < answers; ++i) {
                // Every fifth answer wrong.
                const int right = d.RightAnswer();
                d.Judge(i % 5 == 4 ? 1 - right : right);
                d.Next();
            }
            d.End();
            std::printf("peak_kb %ld\n", PeakKilobytes());
            return 0;
        }
        if (mode == "idle" && argc == 2) {
            std::printf("peak_kb %ld\n", PeakKilobytes());
            return 0;
        }
        return Usage();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_memory: %s\n", e.what());
        return 1;
    }
}
