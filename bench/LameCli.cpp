#include "LameCli.h"

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace LameCli {

std::string Version()
{
    std::unique_ptr<FILE, int (*)(FILE*)> Pipe(popen("lame --version 2>/dev/null", "r"), pclose);
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

namespace {

// Kilohertz as the encoder's -s option takes them: "44.1", "22.05".
std::string Kilohertz(int32_t SampleRate)
{
    char Text[32];
    std::snprintf(Text, sizeof Text, "%g", SampleRate / 1000.0);
    return Text;
}

int RunAndWait(std::vector<std::string> Arguments)
{
    std::vector<char*> Argv;
    for (std::string& Argument : Arguments)
        Argv.push_back(Argument.data());
    Argv.push_back(nullptr);
    posix_spawn_file_actions_t Actions;
    posix_spawn_file_actions_init(&Actions);
    posix_spawn_file_actions_addopen(&Actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&Actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t Child = 0;
    const int Error = posix_spawnp(&Child, Argv[0], &Actions, nullptr, Argv.data(), environ);
    posix_spawn_file_actions_destroy(&Actions);
    if (Error != 0)
        throw std::runtime_error(
            "Cannot start the lame encoder (error " + std::to_string(Error) + ")");
    int Status = 0;
    if (waitpid(Child, &Status, 0) != Child)
        throw std::runtime_error("Lost the lame encoder's process");
    return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
}

} // namespace

double Encode(const std::string& RawFile, int32_t SampleRate, int Kbps, const std::string& Mp3File)
{
    const auto Start = std::chrono::steady_clock::now();
    const int Status = RunAndWait(
        { "lame", "--quiet", "-r", "-s", Kilohertz(SampleRate), "--bitwidth", "16", "--signed",
            "--little-endian", "-m", "j", "-b", std::to_string(Kbps), "--cbr", RawFile, Mp3File });
    const double Seconds
        = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
    if (Status != 0)
        throw std::runtime_error("The lame encoder failed with status " + std::to_string(Status));
    return Seconds;
}

} // namespace LameCli
