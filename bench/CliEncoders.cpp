#include "CliEncoders.h"

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

// The first line that Command prints, or empty when it cannot be run.
std::string FirstLine(const char* Command)
{
    std::unique_ptr<FILE, int (*)(FILE*)> Pipe(popen(Command, "r"), pclose);
    if (!Pipe)
        return {};
    char Line[256] = {};
    if (!std::fgets(Line, sizeof Line, Pipe.get()))
        return {};
    std::string Text = Line;
    while (!Text.empty() && (Text.back() == '\n' || Text.back() == '\r'))
        Text.pop_back();
    return Text;
}

// Runs Arguments with its output thrown away and, when Input is given, that file as its
// standard input; returns the exit status.
int RunAndWait(std::vector<std::string> Arguments, const std::string& Input = {})
{
    std::vector<char*> Argv;
    for (std::string& Argument : Arguments)
        Argv.push_back(Argument.data());
    Argv.push_back(nullptr);
    posix_spawn_file_actions_t Actions;
    posix_spawn_file_actions_init(&Actions);
    posix_spawn_file_actions_addopen(
        &Actions, 0, Input.empty() ? "/dev/null" : Input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&Actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&Actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t Child = 0;
    const int Error = posix_spawnp(&Child, Argv[0], &Actions, nullptr, Argv.data(), environ);
    posix_spawn_file_actions_destroy(&Actions);
    if (Error != 0)
        throw std::runtime_error(
            "Cannot start " + Arguments[0] + " (error " + std::to_string(Error) + ")");
    int Status = 0;
    if (waitpid(Child, &Status, 0) != Child)
        throw std::runtime_error("Lost the process of " + Arguments[0]);
    return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
}

// The wall time of one encoder process; raises when it fails.
double TimedRun(std::vector<std::string> Arguments, const std::string& Input = {})
{
    const std::string Name = Arguments[0];
    const auto Start = std::chrono::steady_clock::now();
    const int Status = RunAndWait(std::move(Arguments), Input);
    const double Seconds
        = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
    if (Status != 0)
        throw std::runtime_error(Name + " failed with status " + std::to_string(Status));
    return Seconds;
}

// Kilohertz as the lame encoder's -s option takes them: "44.1", "22.05".
std::string Kilohertz(int32_t SampleRate)
{
    char Text[32];
    std::snprintf(Text, sizeof Text, "%g", SampleRate / 1000.0);
    return Text;
}

} // namespace

namespace LameCli {

std::string Version()
{
    return FirstLine("lame --version 2>/dev/null");
}

double Encode(const std::string& RawFile, int32_t SampleRate, int Kbps, const std::string& Mp3File)
{
    return TimedRun(
        { "lame", "--quiet", "-r", "-s", Kilohertz(SampleRate), "--bitwidth", "16", "--signed",
            "--little-endian", "-m", "j", "-b", std::to_string(Kbps), "--cbr", RawFile, Mp3File });
}

} // namespace LameCli

namespace FfmpegCli {

std::string Version()
{
    return FirstLine("ffmpeg -hide_banner -version 2>/dev/null");
}

double Encode(const std::string& RawFile, int32_t SampleRate, int Kbps, const std::string& Mp3File)
{
    return TimedRun({ "ffmpeg", "-hide_banner", "-nostdin", "-loglevel", "error", "-y", "-f",
                        "s16le", "-ar", std::to_string(SampleRate), "-ac", "2", "-i", "-", "-c:a",
                        "libmp3lame", "-b:a", std::to_string(Kbps) + "k", Mp3File },
        RawFile);
}

} // namespace FfmpegCli
