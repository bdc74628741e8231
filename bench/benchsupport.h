// What every benchmark program shares: the smoke run that the test suite
// makes of each (ORBA_BENCH_SMOKE=1: every case once, on a small input, only
// to show that it still builds and runs), and one answer to arguments it
// does not know.
#pragma once

#include <cstdint>
#include <string>

namespace orba::bench {

// True in the smoke run.
bool smoke();

// `full` in a measuring run, `small` in the smoke run.
template <class T>
T smokeOr(T full, T small) {
    return smoke() ? small : full;
}

// A wrong argument: "PROGRAM: MESSAGE" as one line on stderr, and exit 2.
[[noreturn]] void refuseArgument(const char* program, const std::string& message);

// A whole number in [low, high] from an argument, or nothing.
bool parseInt(const char* text, std::int64_t low, std::int64_t high, std::int64_t& out);

// Reads the benchmark flags (`argc`/`argv` lose them) and refuses any other
// argument (exit 2); before anything else starts, so that the refusal is the
// only line on stderr.
void readBenchmarkFlags(int& argc, char** argv);

// Runs the chosen cases and returns the exit code: 1 when a case failed
// (SkipWithError) or the filter chose none, else 0.
int runBenchmarks();

}  // namespace orba::bench
