// Entry of the benchmarks that need nothing started before their cases.
#include "bench/benchsupport.h"

int main(int argc, char** argv) {
    orba::bench::readBenchmarkFlags(argc, argv);
    return orba::bench::runBenchmarks();
}
