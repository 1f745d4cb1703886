// A Windows test's door to a program of the Linux machine it runs on under Wine (python3 with the
// dBASE readers, pdftotext, pdffonts). Wine starts a Linux program that a Windows process names,
// but hands it neither the process's standard handles nor its exit code back; so this program
// starts HOST_RUN (host_run.sh), which runs HOST_TOOL with the arguments given here and leaves its
// output and exit code in files, waits for them and passes them on as its own. Arguments that are
// Windows paths (C:\..., Z:/...) reach the tool as the Linux paths Wine maps them to.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

namespace {

std::wstring widen(const std::string& text) {
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n - 1 : 0), L'\0');
    if (n > 1) ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), n);
    return wide;
}

std::string narrow(const wchar_t* text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
    if (n > 1) ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    return out;
}

bool isWindowsPath(const std::wstring& arg) {
    return arg.size() >= 3 && iswalpha(arg[0]) && arg[1] == L':' &&
           (arg[2] == L'\\' || arg[2] == L'/');
}

// Wine's own export: the Linux path of a Windows path.
std::string unixPath(const std::wstring& path) {
    using Convert = char*(CDECL*)(const wchar_t*);
    static const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert) return narrow(path.c_str());
    char* converted = convert(path.c_str());
    if (!converted) return narrow(path.c_str());
    std::string result(converted);
    ::HeapFree(::GetProcessHeap(), 0, converted);
    return result;
}

// One argument of a Windows command line, quoted as CommandLineToArgvW reads it back.
std::wstring quote(const std::wstring& arg) {
    std::wstring out = L"\"";
    size_t slashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++slashes;
            continue;
        }
        out.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
        slashes = 0;
        out += c;
    }
    out.append(slashes * 2, L'\\');
    return out + L"\"";
}

std::string readAll(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeAll(DWORD which, const std::string& bytes) {
    const HANDLE handle = ::GetStdHandle(which);
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD n = 0;
        if (!::WriteFile(handle, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &n,
                         nullptr) ||
            n == 0)
            return;
        done += n;
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    wchar_t base[MAX_PATH];
    if (!::GetTempFileNameW(temp, L"hst", 0, base)) return 125;
    const std::wstring code = std::wstring(base) + L".code";

    wchar_t cwd[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, cwd);
    std::wstring line = quote(widen("Z:/bin/sh")) + L" " + quote(widen(HOST_RUN)) + L" " +
                        quote(widen(unixPath(base))) + L" " + quote(widen(unixPath(cwd))) + L" " +
                        quote(widen(HOST_TOOL));
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        line += L" " + quote(isWindowsPath(arg) ? widen(unixPath(arg)) : arg);
    }

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        std::fprintf(stderr, "host_tool: cannot start %s\n", HOST_TOOL);
        return 125;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);

    // host_run.sh writes the exit code last, by renaming a finished file into place.
    for (int waited = 0; ::GetFileAttributesW(code.c_str()) == INVALID_FILE_ATTRIBUTES;
         waited += 10) {
        if (waited > 300000) {
            std::fprintf(stderr, "host_tool: %s did not finish\n", HOST_TOOL);
            return 124;
        }
        ::Sleep(10);
    }
    writeAll(STD_OUTPUT_HANDLE, readAll(std::wstring(base) + L".out"));
    writeAll(STD_ERROR_HANDLE, readAll(std::wstring(base) + L".err"));
    const int exitCode = std::atoi(readAll(code).c_str());
    for (const wchar_t* suffix : {L"", L".out", L".err", L".code"})
        ::DeleteFileW((std::wstring(base) + suffix).c_str());
    return exitCode;
}
