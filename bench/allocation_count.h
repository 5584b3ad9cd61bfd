// Counts the program's heap allocations, for the benchmarks that promise
// none. A program that links allocation_count.cpp has its global operator new
// and delete replaced by counting ones.
#pragma once

#include <cstddef>

namespace pictolex::bench {

// Allocations made through operator new since the program started.
std::size_t AllocationCount();

}  // namespace pictolex::bench
