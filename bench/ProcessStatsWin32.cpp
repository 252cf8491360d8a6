// ProcessStats on Windows: the process's times and memory counters, the processor's name from
// the registry. The system keeps a peak working set that cannot be lowered, so the peak since a
// reset is not available there.
#include "ProcessStats.h"

#include <windows.h>

#include <psapi.h>
#include <thread>

namespace ProcessStats {

namespace {

double Seconds(const FILETIME& Time)
{
    ULARGE_INTEGER Value;
    Value.LowPart = Time.dwLowDateTime;
    Value.HighPart = Time.dwHighDateTime;
    return static_cast<double>(Value.QuadPart) / 1e7; // 100-nanosecond units
}

bool MemoryCounters(PROCESS_MEMORY_COUNTERS& Counters)
{
    return GetProcessMemoryInfo(GetCurrentProcess(), &Counters, sizeof Counters) != 0;
}

std::string ProcessorName()
{
    char Name[256] = {};
    DWORD Size = sizeof Name;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
            "ProcessorNameString", RRF_RT_REG_SZ, nullptr, Name, &Size)
        != ERROR_SUCCESS)
        return "unknown";
    return Name;
}

} // namespace

double CpuSeconds()
{
    FILETIME Creation, Exit, Kernel, User;
    if (!GetProcessTimes(GetCurrentProcess(), &Creation, &Exit, &Kernel, &User))
        return 0;
    return Seconds(Kernel) + Seconds(User);
}

// The system counts context switches per thread only, and not those of threads that have
// ended.
int64_t Waits()
{
    return -1;
}

int64_t ResidentBytes()
{
    PROCESS_MEMORY_COUNTERS Counters = {};
    return MemoryCounters(Counters) ? static_cast<int64_t>(Counters.WorkingSetSize) : -1;
}

int64_t PeakResidentBytes()
{
    PROCESS_MEMORY_COUNTERS Counters = {};
    return MemoryCounters(Counters) ? static_cast<int64_t>(Counters.PeakWorkingSetSize) : -1;
}

bool ResetPeakResident()
{
    return false;
}

TMachine DescribeMachine()
{
    TMachine Machine;
    Machine.Cores = static_cast<int>(std::thread::hardware_concurrency());
    Machine.CpuModel = ProcessorName();
    Machine.LoadAverage = "n/a";
    return Machine;
}

} // namespace ProcessStats
