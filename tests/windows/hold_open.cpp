// Holds a file open as a running program holds a plug-in it has loaded (others may read it, not
// write it), runs a program while it does, and exits with that program's exit code: the setup
// program's test of a plug-in file in use. An argument holding a quote reaches the program as
// written, as cmd.exe passes it.
//
// Usage: vb_hold_open FILE|- PROGRAM [ARGUMENT...]   (Windows paths, or Unix paths under Wine;
//        - holds no file)
#include <windows.h>

#include <cstdio>
#include <string>

#include "support/wine_path.h"

namespace {

// One argument in the command line: as given when it holds a quote (the caller quoted it as
// cmd.exe would pass it), else in quotes when it holds a space, as PowerShell passes it.
std::wstring Quoted(const std::wstring& argument) {
    if (argument.find(L'"') != std::wstring::npos || argument.find(L' ') == std::wstring::npos) {
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

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: vb_hold_open FILE|- PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    const std::wstring file = support::WindowsPath(argv[1]);
    HANDLE held = file == L"-"
                      ? nullptr
                      : CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "vb_hold_open: cannot open %s (error %lu)\n", argv[1], GetLastError());
        return 2;
    }

    std::wstring command = Quoted(support::WindowsPath(argv[2]));
    for (int i = 3; i < argc; ++i) command += L" " + Quoted(Widened(argv[i]));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "vb_hold_open: cannot start %s (error %lu)\n", argv[2],
                     GetLastError());
        if (held != nullptr) CloseHandle(held);
        return 2;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 2;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (held != nullptr) CloseHandle(held);
    return static_cast<int>(code);
}
