// Tells the recorder's window that the session ends, as the system does at a log-out or a
// shutdown, and prints each answer with the time it took:
//   SendEndSession query-end     WM_QUERYENDSESSION, then WM_ENDSESSION with TRUE
//   SendEndSession query-cancel  WM_QUERYENDSESSION, then WM_ENDSESSION with FALSE (another
//                                program refused, so the session goes on)
//   SendEndSession end           WM_ENDSESSION with TRUE alone (a forced shutdown)
// Each message waits at most 15 s for its answer. Prints "query: TRUE" or "query: FALSE" for the
// question. Exits 0 when every message was answered (and the question with TRUE where the end
// follows it), 1 otherwise, 2 on wrong use.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

constexpr wchar_t FormClass[] = L"CorvatoneMainForm";
constexpr UINT AnswerBound = 15000;

double MillisecondsSince(std::chrono::steady_clock::time_point Start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start)
        .count();
}

// Sends Message and waits for the answer, at most AnswerBound; false when none came.
bool Send(HWND Window, UINT Message, WPARAM W, const char* Name, DWORD_PTR& Answer)
{
    const auto Start = std::chrono::steady_clock::now();
    if (!SendMessageTimeoutW(Window, Message, W, 0, SMTO_NORMAL, AnswerBound, &Answer)) {
        std::printf("%s: no answer within %u ms (error %lu)\n", Name, AnswerBound, GetLastError());
        return false;
    }
    std::printf("%s: answered after %.0f ms\n", Name, MillisecondsSince(Start));
    return true;
}

} // namespace

int main(int Argc, char** Argv)
{
    const char* Mode = Argc == 2 ? Argv[1] : "";
    const bool Query = !std::strcmp(Mode, "query-end") || !std::strcmp(Mode, "query-cancel");
    if (!Query && std::strcmp(Mode, "end")) {
        std::fprintf(stderr, "usage: SendEndSession query-end|query-cancel|end\n");
        return 2;
    }
    const HWND Window = FindWindowW(FormClass, nullptr);
    if (!Window) {
        std::printf("no window of class CorvatoneMainForm\n");
        return 1;
    }
    DWORD_PTR Answer = 0;
    bool MayEnd = true;
    if (Query) {
        if (!Send(Window, WM_QUERYENDSESSION, 0, "query", Answer))
            return 1;
        MayEnd = Answer != FALSE;
        std::printf("query: %s\n", MayEnd ? "TRUE" : "FALSE");
    }
    const bool Ends = std::strcmp(Mode, "query-cancel") != 0;
    std::fflush(stdout);
    if (!Send(Window, WM_ENDSESSION, Ends && MayEnd ? TRUE : FALSE, "end", Answer))
        return 1;
    return !Ends || MayEnd ? 0 : 1;
}
