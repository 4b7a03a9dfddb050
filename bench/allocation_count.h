// Counts heap allocations of the whole benchmark process, so a run can check
// that a piece of code allocates nothing.
#pragma once

#include <cstdint>

// operator new (every form) and, with glibc, malloc, calloc and realloc calls
// made so far.
uint64_t AllocationCount();

// Whether malloc itself is counted (glibc only) or operator new alone.
bool CountsMalloc();
