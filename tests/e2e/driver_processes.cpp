// The tool's process, the registry and files: starting, attaching to and
// ending processes, their exit, a volatile key, a file's arrival and a time stamp.
#include "driver.h"

#include <shellapi.h>
#include <tlhelp32.h>

#ifndef ERROR_ELEVATION_REQUIRED
#define ERROR_ELEVATION_REQUIRED 740
#endif

namespace {

// The ids of the processes that run an image of this name (FILE.exe).
std::vector<DWORD> processesNamed(const std::wstring& name) {
    UniqueHandle snap(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snap) fail(L"CreateToolhelp32Snapshot failed with error " + num(GetLastError()));
    std::vector<DWORD> found;
    PROCESSENTRY32W pe{};
    pe.dwSize = sizeof pe;
    for (BOOL more = Process32FirstW(snap.Get(), &pe); more; more = Process32NextW(snap.Get(), &pe))
        if (lstrcmpiW(pe.szExeFile, name.c_str()) == 0) found.push_back(pe.th32ProcessID);
    return found;
}

}  // namespace

void Driver::start(const Step& s) {
    std::wstring exe = s.text(L"exe");
    std::wstring cwd = s.has(L"cwd") ? s.text(L"cwd") : L"C:\\";
    std::wstring cmd = quoted(exe);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, cwd.c_str(), &si, &pi)) {
        CloseHandle(pi.hThread);
        process_ = UniqueHandle(pi.hProcess);
        pid_ = pi.dwProcessId;
        return;
    }
    DWORD err = GetLastError();
    if (err != ERROR_ELEVATION_REQUIRED) fail(L"CreateProcessW(" + quoted(exe) + L") failed with error " + num(err));
    // The tool asks for elevation in its manifest; where that is honoured, go through the shell.
    SHELLEXECUTEINFOW sei{};
    sei.cbSize = sizeof sei;
    sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
    sei.lpVerb = L"runas";
    sei.lpFile = exe.c_str();
    sei.lpDirectory = cwd.c_str();
    sei.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&sei) || !sei.hProcess)
        fail(L"starting " + quoted(exe) + L" elevated failed with error " + num(GetLastError()));
    process_ = UniqueHandle(sei.hProcess);
    pid_ = GetProcessId(sei.hProcess);
}

void Driver::waitExit(const Step& s) {
    needProcess();
    DWORD r = WaitForSingleObject(process_.Get(), s.timeout());
    if (r != WAIT_OBJECT_0) fail(L"the tool is still running " + num(s.timeout()) + L" ms later");
    DWORD code = 0;
    GetExitCodeProcess(process_.Get(), &code);
    if (s.has(L"code") && long(code) != s.integer(L"code"))
        fail(L"the tool ended with exit code " + num(code) + L", expected " + s.text(L"code"));
    main_ = nullptr;
}

void Driver::killByName(const Step& s) {
    for (DWORD pid : processesNamed(s.text(L"name"))) {
        UniqueHandle p(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
        if (p && TerminateProcess(p.Get(), 1)) WaitForSingleObject(p.Get(), kMessageTimeout);
    }
}

void Driver::attach(const Step& s) {
    const std::wstring& name = s.text(L"name");
    const std::vector<DWORD> found = processesNamed(name);
    if (found.size() != 1) fail(num(long(found.size())) + L" processes named " + quoted(name) + L" run, expected one");
    UniqueHandle p(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, found.front()));
    if (!p) fail(L"OpenProcess(" + num(found.front()) + L") failed with error " + num(GetLastError()));
    process_ = std::move(p);
    pid_ = found.front();
    main_ = nullptr;
    box_ = nullptr;
}

void Driver::waitFile(const Step& s) {
    const std::wstring& path = s.text(L"path");
    long long minSize = s.integer(L"min-size", 0);
    long long size = -1;
    bool there = pollUntil(s.timeout(), [&] {
        WIN32_FILE_ATTRIBUTE_DATA a{};
        if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &a)) return false;
        size = (static_cast<long long>(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
        return size >= minSize;
    });
    if (!there)
        fail(quoted(path) + (size < 0 ? L" did not appear" : L" has " + num(size) + L" bytes, expected at least " +
                                                              num(minSize)) + L" within " + num(s.timeout()) + L" ms");
}

void Driver::makeVolatileKey(const Step& s) {
    const std::wstring& path = s.text(L"key");
    HKEY created = nullptr;
    DWORD disposition = 0;
    LONG r = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                             KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &created, &disposition);
    const UniqueKey key(created);
    if (r != ERROR_SUCCESS) fail(L"RegCreateKeyExW(" + quoted(path) + L", volatile) failed with error " + num(r));
    if (disposition != REG_CREATED_NEW_KEY) fail(L"the key " + quoted(path) + L" already existed, so it is not volatile");
}

void Driver::stamp(const Step& s) {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const unsigned long long ticks = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    const unsigned long long unixEpoch = 116444736000000000ull;  // 1970-01-01 in 100 ns ticks since 1601
    write(STD_OUTPUT_HANDLE, s.text(L"name") + L" " + std::to_wstring((ticks - unixEpoch) / 10000));
}
