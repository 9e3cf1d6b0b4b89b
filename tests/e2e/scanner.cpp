// e2e_scanner: behaves like an on-access virus scanner in one folder, so that
// the tool meets the brief holds a player's PC puts on files it just wrote or
// renamed.
//
//   e2e_scanner FOLDER READY HOLD_MS LOG
//
// Lists FOLDER, creates the file READY to say so, and from then on opens every
// *.mrv* name that appears in FOLDER the moment its writer lets it: for
// reading, sharing reading and writing but not deletion, as scanners do. Each
// is held HOLD_MS and then closed; each name held is appended to LOG. Runs
// until the process is ended.
#include <windows.h>

#include <cwchar>
#include <set>
#include <string>
#include <vector>

namespace {

void say(const std::string& line) {
    DWORD done = 0;
    const std::string text = line + "\n";
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text.data(), DWORD(text.size()), &done, nullptr);
}

std::set<std::wstring> list(const std::wstring& folder) {
    std::set<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*.mrv*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.insert(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

void log_name(const std::wstring& log, const std::wstring& name) {
    HANDLE h = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    const std::string line(name.begin(), name.end());  // the names are ASCII
    DWORD done = 0;
    WriteFile(h, (line + "\n").data(), DWORD(line.size() + 1), &done, nullptr);
    CloseHandle(h);
}

struct Held {
    HANDLE handle;
    ULONGLONG until;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 5) {
        say("usage: e2e_scanner FOLDER READY HOLD_MS LOG");
        return 2;
    }
    const std::wstring folder = argv[1], log = argv[4];
    const ULONGLONG hold = std::wcstoul(argv[3], nullptr, 10);
    std::set<std::wstring> known = list(folder), waiting;
    std::vector<Held> held;
    HANDLE ready = CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (ready == INVALID_HANDLE_VALUE) {
        say("e2e_scanner: cannot create the ready file, error " + std::to_string(GetLastError()));
        return 1;
    }
    CloseHandle(ready);
    for (;;) {
        // A name that was not there at the last look is new, even if it was
        // there before: a file renamed back and forth is looked at each time.
        const std::set<std::wstring> now = list(folder);
        for (const std::wstring& name : now) {
            if (!known.count(name)) waiting.insert(name);
        }
        known = now;
        // A writer lets its file go a moment before it renames it: try the
        // waiting names again and again for a few milliseconds before the
        // next look at the folder.
        const ULONGLONG burstEnd = GetTickCount64() + 5;
        while (!waiting.empty() && GetTickCount64() < burstEnd) {
            for (auto it = waiting.begin(); it != waiting.end();) {
                HANDLE h = CreateFileW((folder + L"\\" + *it).c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
                const DWORD error = GetLastError();
                if (h != INVALID_HANDLE_VALUE) {
                    held.push_back({h, GetTickCount64() + hold});
                    log_name(log, *it);
                    it = waiting.erase(it);
                } else if (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED) {
                    ++it;  // its writer still has it
                } else {
                    it = waiting.erase(it);  // gone again
                }
            }
        }
        for (auto it = held.begin(); it != held.end();) {
            if (GetTickCount64() >= it->until) {
                CloseHandle(it->handle);
                it = held.erase(it);
            } else {
                ++it;
            }
        }
        if (waiting.empty()) Sleep(1);
    }
}
