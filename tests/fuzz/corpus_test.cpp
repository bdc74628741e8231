// Every input that the fuzzers ever kept, and every crash they ever found,
// runs through its target again: a parser change that breaks on one of them
// fails here, without a fuzzer.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "fuzz/targets.h"
#include "tests/support/tempdir.h"

namespace orba {

namespace fuzz {
void PrintTo(const Target& t, std::ostream* os) {
    *os << t.name;
}
}  // namespace fuzz

namespace {

namespace fs = std::filesystem;

class FuzzCorpus : public ::testing::TestWithParam<fuzz::Target> {};

TEST_P(FuzzCorpus, EveryFileRunsThroughItsTarget) {
    const fs::path folder = fs::path(ORBA_FUZZ_CORPUS) / GetParam().name;
    ASSERT_TRUE(fs::is_directory(folder)) << folder;
    std::set<fs::path> files;  // in name order, so a failure repeats alike
    for (const fs::directory_entry& e : fs::directory_iterator(folder))
        if (e.is_regular_file()) files.insert(e.path());
    EXPECT_FALSE(files.empty()) << "no seeds in " << folder;
    for (const fs::path& file : files) {
        // A failed check aborts the program: the last name printed is the culprit.
        std::fprintf(stderr, "%s\n", file.c_str());
        GetParam().run(test::readFile(file.string()));
    }
}

TEST(FuzzCorpus, EveryCorpusFolderHasATarget) {
    std::set<std::string> names;
    for (const fuzz::Target& t : fuzz::targets()) names.insert(t.name);
    for (const fs::directory_entry& e : fs::directory_iterator(ORBA_FUZZ_CORPUS))
        EXPECT_TRUE(names.count(e.path().filename().string())) << e.path();
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzCorpus, ::testing::ValuesIn(fuzz::targets()),
                         [](const ::testing::TestParamInfo<fuzz::Target>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace orba
