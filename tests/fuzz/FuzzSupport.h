#pragma once
// Helpers shared by the fuzz targets: a private scratch folder and a failing check that stops the
// run (an abort is what the fuzzer records as a finding, and what fails the replay test).

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

// A folder of this process's own, made on first use (in /dev/shm when there is one, so writing an
// input to a file costs no disk) and removed at exit.
const std::string& ScratchDir();

// Writes BYTES to PATH, replacing it. Aborts when it cannot: a target that silently tested
// nothing would look like a clean run.
void WriteFile(const std::string& path, const uint8_t* data, size_t size);

[[noreturn]] inline void Fail(const char* what, const char* file, int line)
{
    std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", what, file, line);
    std::abort();
}

}  // namespace fuzz

#define FUZZ_CHECK(cond) ((cond) ? void(0) : fuzz::Fail(#cond, __FILE__, __LINE__))
