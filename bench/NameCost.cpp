// bench_name_cost.exe FOLDER [times]: what it costs Windows (or Wine) to give
// a file a new name in FOLDER, as the built-in printer names each label's
// file: a file made in FOLDER\.writing, then moved to a name FOLDER has not
// got. Prints the median in milliseconds, and removes what it made. Used by
// bench_wine, which runs it in a big folder and in an empty one.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>

int main()
{
    int count = 0;
    wchar_t **arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments || count < 2) {
        std::fputs("usage: bench_name_cost FOLDER [times]\n", stderr);
        return 2;
    }
    const std::wstring folder = arguments[1];
    const int times = count > 2 ? std::max(1, _wtoi(arguments[2])) : 5;
    CreateDirectoryW((folder + L"\\.writing").c_str(), nullptr);
    LARGE_INTEGER frequency, before, after;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> milliseconds;
    for (int i = 0; i < times; ++i) {
        const std::wstring from = folder + L"\\.writing\\name-cost-" + std::to_wstring(i) + L".tmp";
        const std::wstring to = folder + L"\\zz name cost " + std::to_wstring(GetCurrentProcessId()) + L"-"
                                + std::to_wstring(i) + L".tmp";
        CloseHandle(CreateFileW(from.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        QueryPerformanceCounter(&before);
        const bool moved = MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH);
        QueryPerformanceCounter(&after);
        DeleteFileW(moved ? to.c_str() : from.c_str());
        if (!moved) {
            std::fprintf(stderr, "cannot move a file into the folder (error %lu)\n", GetLastError());
            return 1;
        }
        milliseconds.push_back(double(after.QuadPart - before.QuadPart) * 1000.0 / double(frequency.QuadPart));
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    std::printf("%.3f\n", milliseconds[milliseconds.size() / 2]);
    return 0;
}
