// tagfoundry.com, the program's console companion on Windows.
//
// tagfoundry.exe is a GUI program, so that the Start menu opens its window
// without a console window. But a console prompt and PowerShell do not wait
// for a GUI program: the prompt comes back at once, the exit status is lost
// and the batch's messages land over the next prompt. This console program
// lies beside it, and a prompt typed `tagfoundry XLIST` finds it first
// (PATHEXT lists .COM before .EXE). It starts tagfoundry.exe with the same
// command-line tail and the caller's own standard streams; for a tail that
// answers the caller (a batch word, --help, --version) it waits, and exits
// with the program's exit status. The main window it starts and leaves, as
// the prompt did. It needs no Qt, and links its C++ runtime in.

#include "CommandTail.h"

#include <string>
#include <string_view>

#include <windows.h>

namespace {

constexpr UINT kFailed = 1; // the batch's status for a failure

// The child while this process waits for it, for the console's Ctrl+C.
HANDLE g_child = nullptr;

// A line on standard error: the console's own characters when it is a
// console, else the system's code page, as the program writes its messages.
void report(const std::wstring &line)
{
    const HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0, written = 0;
    if (errors == nullptr || errors == INVALID_HANDLE_VALUE)
        return;
    if (GetConsoleMode(errors, &mode)) {
        WriteConsoleW(errors, line.data(), DWORD(line.size()), &written, nullptr);
        return;
    }
    const int size = WideCharToMultiByte(CP_ACP, 0, line.data(), int(line.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size_t(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_ACP, 0, line.data(), int(line.size()), bytes.data(), size, nullptr, nullptr);
    WriteFile(errors, bytes.data(), DWORD(bytes.size()), &written, nullptr);
}

std::wstring systemReason(DWORD error)
{
    wchar_t *text = nullptr;
    const DWORD size = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                          | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, error, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::wstring reason = size ? std::wstring(text, size) : L"Windows error " + std::to_wstring(error);
    LocalFree(text);
    while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' || reason.back() == L' '))
        reason.pop_back();
    return reason;
}

UINT failed(const std::wstring &what, DWORD error)
{
    report(L"tagfoundry: " + what + L": " + systemReason(error) + L"\r\n");
    return kFailed;
}

// tagfoundry.exe in this program's own folder.
std::wstring programBeside()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (size == 0)
            return {};
        if (size < path.size()) {
            path.resize(size);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"tagfoundry.exe";
}

// Ctrl+C or Ctrl+Break stops the batch, as it stops any console program, and
// this process stays until the batch has ended, so that the prompt does not
// come back while it still prints. Closing the console or logging off ends
// this process, and its job object the batch with it.
BOOL WINAPI onConsoleEvent(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    if (const HANDLE child = g_child)
        TerminateProcess(child, STATUS_CONTROL_C_EXIT);
    return TRUE;
}

// A job object that ends every process in it when its last handle closes:
// when this process ends, however it ends, the batch does not print on
// unseen. Null when the system refuses one.
HANDLE jobEndingWithThisProcess()
{
    const HANDLE job = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job && !SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        CloseHandle(job);
        return nullptr;
    }
    return job;
}

UINT run()
{
    const std::wstring_view line = GetCommandLineW();
    const std::wstring_view tail = line.substr(CommandTail::start(line));
    const std::wstring program = programBeside();
    std::wstring command = L"\"" + program + L"\"";
    if (!tail.empty())
        command += L" " + std::wstring(tail);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!CommandTail::answersCaller(tail)) {
        // The main window: started, and left to the user.
        if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &child))
            return failed(L"cannot start " + program, GetLastError());
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
        return 0;
    }

    // The caller's own standard streams, handed down as they are: a console,
    // a pipe, a file or NUL.
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    for (const HANDLE stream : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
        if (stream && stream != INVALID_HANDLE_VALUE)
            SetHandleInformation(stream, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    }
    const HANDLE job = jobEndingWithThisProcess();
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr,
                        &startup, &child))
        return failed(L"cannot start " + program, GetLastError());
    // Where this process's own job forbids another, the batch runs without.
    if (job)
        AssignProcessToJobObject(job, child.hProcess);
    g_child = child.hProcess;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
    ResumeThread(child.hThread);
    CloseHandle(child.hThread);

    DWORD status = kFailed;
    if (WaitForSingleObject(child.hProcess, INFINITE) != WAIT_OBJECT_0 || !GetExitCodeProcess(child.hProcess, &status))
        return failed(L"lost sight of " + program, GetLastError());
    return status;
}

} // namespace

int main()
{
    return int(run());
}
