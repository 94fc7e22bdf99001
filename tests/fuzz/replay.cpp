// Runs a fuzz target over saved inputs, for the ordinary build where libFuzzer is not linked:
// every file named, and every file in every folder named (recursively). A missing folder is
// skipped (a target may have no saved crashes); no input at all is a failure.

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {
// Named when the replay dies on an input, so the failing file can be found in the test's output.
const char* current = "";

void Died(int sig)
{
    const char* msg = "\nreplay died on input: ";
    (void)!write(2, msg, std::strlen(msg));
    (void)!write(2, current, std::strlen(current));
    (void)!write(2, "\n", 1);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}
}  // namespace

int main(int argc, char** argv)
{
    for (int sig : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL})
        std::signal(sig, Died);
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path p(argv[i]);
        std::error_code ec;
        if (std::filesystem::is_directory(p, ec)) {
            for (const auto& e : std::filesystem::recursive_directory_iterator(p))
                if (e.is_regular_file() && e.path().filename().string()[0] != '.' &&
                    e.path().filename() != "README.md")
                    inputs.push_back(e.path());
        } else if (std::filesystem::is_regular_file(p, ec)) {
            inputs.push_back(p);
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "no inputs found\n");
        return 1;
    }
    for (const auto& p : inputs) {
        const std::string name = p.string();
        current = name.c_str();
        std::ifstream in(p, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("replayed %zu inputs\n", inputs.size());
    return 0;
}
