// What the benchmark asks the system about its own process and the machine it runs on: on Linux
// (ProcessStats.cpp) from files under /proc and getrusage, on Windows (ProcessStatsWin32.cpp) from
// the process's counters. Any thread; no call blocks on anything else.
#pragma once

#include <cstdint>
#include <string>

namespace ProcessStats {

// User plus system CPU time of all the process's threads so far, in seconds.
double CpuSeconds();
// Times the process's threads have given up the processor to wait (voluntary context switches)
// so far; -1 where the system keeps none. Other load moves it less than the times, but on cores
// that are all busy a thread that is woken late makes the one it serves wait more often.
int64_t Waits();
// Resident set size now, in bytes, from /proc/self/statm; -1 when it cannot be read. Reads into
// a stack buffer, so a sink's worker may call it between two blocks without allocating.
int64_t ResidentBytes();
// The kernel's high-water mark of the resident set (VmHWM), in bytes; -1 when unknown.
int64_t PeakResidentBytes();
// Lowers the high-water mark to the present resident set; false when the kernel refuses.
bool ResetPeakResident();

struct TMachine {
    int Cores = 0;
    std::string CpuModel;
    std::string LoadAverage; // the three figures of /proc/loadavg
};
TMachine DescribeMachine();

} // namespace ProcessStats
