// The end of every benchmark program's main(): run what it registered.
#pragma once

#include <benchmark/benchmark.h>

namespace pictolex::bench {

inline int RunRegisteredBenchmarks(int& argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace pictolex::bench
