#include "bench/benchsupport.h"

#include <benchmark/benchmark.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace orba::bench {
namespace {

// Library 1.8 replaced the run's error flag with a skip state.
template <class Run>
bool failed(const Run& run) {
    if constexpr (requires { run.error_occurred; })
        return run.error_occurred;
    else
        return run.skipped == decltype(run.skipped)::SkippedWithError;
}

// The reporter the flags choose, noting whether any case failed: a case that
// ends in SkipWithError is otherwise one more line of output.
class FailureNotingReporter : public benchmark::BenchmarkReporter {
public:
    FailureNotingReporter() : m_shown(benchmark::CreateDefaultDisplayReporter()) {}
    bool ReportContext(const Context& context) override { return m_shown->ReportContext(context); }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (failed(run)) anyFailed = true;
        m_shown->ReportRuns(runs);
    }
    void Finalize() override { m_shown->Finalize(); }
    bool anyFailed = false;

private:
    std::unique_ptr<benchmark::BenchmarkReporter> m_shown;
};

const char* baseName(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

}  // namespace

bool smoke() {
    static const bool on = [] {
        const char* v = std::getenv("ORBA_BENCH_SMOKE");
        return v && *v && std::strcmp(v, "0") != 0;
    }();
    return on;
}

void refuseArgument(const char* program, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", baseName(program), message.c_str());
    std::exit(2);
}

bool parseInt(const char* text, std::int64_t low, std::int64_t high, std::int64_t& out) {
    if (!text || !*text) return false;
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text, &end, 10);
    if (errno || *end || v < low || v > high) return false;
    out = v;
    return true;
}

void readBenchmarkFlags(int& argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (argc > 1)
        refuseArgument(argv[0], std::string("unknown argument ") + argv[1] +
                                    " (--help lists the benchmark flags)");
}

int runBenchmarks() {
    FailureNotingReporter reporter;
    // None chosen is a filter that a renamed case no longer matches (the
    // library says so).
    const std::size_t chosen = benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return chosen == 0 || reporter.anyFailed ? 1 : 0;
}

}  // namespace orba::bench
