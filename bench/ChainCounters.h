// What the benchmark counts beside time: the process's heap allocations (every operator new,
// counted by the benchmark's own replacement of the global allocation functions) and the bytes
// that the program's own code moves with memcpy and memmove in pieces of 1 KiB or more (the
// linker routes those calls of the statically linked code through counting wrappers; copies
// inside the C++ runtime and the encoder library are not seen).
//
// Any thread; the counts are atomic and only grow.
#pragma once

#include <cstdint>

namespace ChainCounters {

int64_t Allocations();
int64_t CopiedBytes();
int64_t Copies(); // calls that copied 1 KiB or more

struct TSnapshot {
    int64_t Allocations = 0;
    int64_t CopiedBytes = 0;
    int64_t Copies = 0;
};
TSnapshot Take();
// The counts from Before to now.
TSnapshot Since(const TSnapshot& Before);

} // namespace ChainCounters
