// Holds a file open as another program would, runs a program while it does, and exits with that
// program's exit code: the setup program's tests of a file in use. The file stays held until
// every process the program started has ended too, as an NSIS uninstaller hands its work to a
// copy of itself and returns at once. An argument holding a quote reaches the program as
// written, as cmd.exe passes it, and so does an NSIS uninstaller's _?=FOLDER.
//
// Usage: vb_hold_open [--share r|rd|rwd] FILE|- PROGRAM [ARGUMENT...]
//   --share  what the holder lets others do with the file: read (r), read and delete (rd, the
//            default, as a running program holds a plug-in it has loaded), or read, write and
//            delete (rwd, as a program that only watches the file)
//   FILE     a Windows path, or a Unix path under Wine; - holds no file
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "support/wine_path.h"

namespace {

// One argument in the command line: as given when it holds a quote (the caller quoted it as
// cmd.exe would pass it) or is an NSIS uninstaller's _?=FOLDER (which NSIS reads unquoted to the
// end of the line), else in quotes when it holds a space, as PowerShell passes it.
std::wstring Quoted(const std::wstring& argument) {
    if (argument.find(L'"') != std::wstring::npos || argument.find(L' ') == std::wstring::npos ||
        argument.rfind(L"_?=", 0) == 0) {
        return argument;
    }
    return L"\"" + argument + L"\"";
}

std::wstring Widened(const char* text) {
    std::wstring out;
    for (const char* p = text; *p != '\0'; ++p) {
        out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*p)));
    }
    return out;
}

// The share mode a --share value names; 0 for a value it does not know.
DWORD ShareMode(const char* name) {
    if (std::strcmp(name, "r") == 0) return FILE_SHARE_READ;
    if (std::strcmp(name, "rd") == 0) return FILE_SHARE_READ | FILE_SHARE_DELETE;
    if (std::strcmp(name, "rwd") == 0) {
        return FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    }
    return 0;
}

// Waits until no process of the job is left.
void WaitForJob(HANDLE job) {
    for (;;) {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
        if (!QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof info,
                                       nullptr) ||
            info.ActiveProcesses == 0) {
            return;
        }
        Sleep(50);
    }
}

int Usage() {
    std::fprintf(stderr, "usage: vb_hold_open [--share r|rd|rwd] FILE|- PROGRAM [ARGUMENT...]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    int next = 1;
    DWORD share = FILE_SHARE_READ | FILE_SHARE_DELETE;
    if (next < argc && std::strcmp(argv[next], "--share") == 0) {
        if (next + 1 >= argc || (share = ShareMode(argv[next + 1])) == 0) return Usage();
        next += 2;
    }
    if (argc - next < 2) return Usage();
    const std::wstring file = support::WindowsPath(argv[next]);
    HANDLE held = file == L"-" ? nullptr
                               : CreateFileW(file.c_str(), GENERIC_READ, share, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "vb_hold_open: cannot open %s (error %lu)\n", argv[next],
                     GetLastError());
        return 2;
    }

    std::wstring command = Quoted(support::WindowsPath(argv[next + 1]));
    for (int i = next + 2; i < argc; ++i) command += L" " + Quoted(Widened(argv[i]));
    // The processes the program starts belong to the job too: the file is held until all end.
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (job == nullptr || !CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE,
                                          CREATE_SUSPENDED, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "vb_hold_open: cannot start %s (error %lu)\n", argv[next + 1],
                     GetLastError());
        if (job != nullptr) CloseHandle(job);
        if (held != nullptr) CloseHandle(held);
        return 2;
    }
    const bool in_job = AssignProcessToJobObject(job, process.hProcess) != FALSE;
    ResumeThread(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 2;
    GetExitCodeProcess(process.hProcess, &code);
    if (in_job) WaitForJob(job);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(job);
    if (held != nullptr) CloseHandle(held);
    return static_cast<int>(code);
}
