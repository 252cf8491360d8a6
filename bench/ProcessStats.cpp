#include "ProcessStats.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace ProcessStats {

double CpuSeconds()
{
    rusage Usage{};
    getrusage(RUSAGE_SELF, &Usage);
    const auto Seconds = [](const timeval& T) { return T.tv_sec + T.tv_usec / 1e6; };
    return Seconds(Usage.ru_utime) + Seconds(Usage.ru_stime);
}

int64_t Waits()
{
    rusage Usage{};
    getrusage(RUSAGE_SELF, &Usage);
    return Usage.ru_nvcsw;
}

int64_t ResidentBytes()
{
    const int File = open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
    if (File < 0)
        return -1;
    char Text[128];
    const ssize_t Count = read(File, Text, sizeof Text - 1);
    close(File);
    if (Count <= 0)
        return -1;
    Text[Count] = '\0';
    // "size resident shared text lib data dt", in pages.
    long long Size = 0, Resident = 0;
    if (std::sscanf(Text, "%lld %lld", &Size, &Resident) != 2)
        return -1;
    return Resident * sysconf(_SC_PAGESIZE);
}

int64_t PeakResidentBytes()
{
    std::ifstream Status("/proc/self/status");
    std::string Line;
    while (std::getline(Status, Line)) {
        if (Line.rfind("VmHWM:", 0) == 0)
            return std::strtoll(Line.c_str() + 6, nullptr, 10) * 1024; // given in kB
    }
    return -1;
}

bool ResetPeakResident()
{
    std::ofstream ClearRefs("/proc/self/clear_refs");
    ClearRefs << "5"; // 5: reset the peak resident set size
    ClearRefs.flush();
    return static_cast<bool>(ClearRefs);
}

TMachine DescribeMachine()
{
    TMachine Machine;
    Machine.Cores = static_cast<int>(std::thread::hardware_concurrency());
    std::ifstream CpuInfo("/proc/cpuinfo");
    std::string Line;
    while (std::getline(CpuInfo, Line)) {
        if (Line.rfind("model name", 0) == 0) {
            const auto Colon = Line.find(':');
            Machine.CpuModel = Colon == std::string::npos ? Line : Line.substr(Colon + 2);
            break;
        }
    }
    std::ifstream Load("/proc/loadavg");
    std::string A, B, C;
    if (Load >> A >> B >> C)
        Machine.LoadAverage = A + " " + B + " " + C;
    return Machine;
}

} // namespace ProcessStats
