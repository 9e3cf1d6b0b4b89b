// e2e_holder: holds one file open the way a running game or a virus scanner
// does, so that the tool meets a file it cannot rename.
//
//   e2e_holder FILE READY [MS [WITNESS]]
//
// Opens FILE for reading with FILE_SHARE_READ only (no write or delete
// sharing), then creates the file READY to say so, and keeps FILE open until
// the process is ended, or for MS milliseconds when given. At the end of
// those, it writes "witness" into READY when the file WITNESS exists then:
// a sign that what the hold was meant to meet had begun before it ended.
// Exits with 1 when FILE cannot be opened.
#include <windows.h>

#include <cwchar>
#include <string>

#include "common/win_handles.h"

namespace {

void say(const std::string& line) {
    DWORD done = 0;
    const std::string text = line + "\n";
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text.data(), DWORD(text.size()), &done, nullptr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3 || argc > 5) {
        say("usage: e2e_holder FILE READY [MS [WITNESS]]");
        return 2;
    }
    UniqueHandle held(CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!held) {
        say("e2e_holder: cannot open the file, error " + std::to_string(GetLastError()));
        return 1;
    }
    {
        UniqueHandle ready(CreateFileW(argv[2], GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!ready) {
            say("e2e_holder: cannot create the ready file, error " + std::to_string(GetLastError()));
            return 1;
        }
    }
    if (argc < 4) {
        for (;;) Sleep(INFINITE);
    }
    Sleep(wcstoul(argv[3], nullptr, 10));
    if (argc == 5 && GetFileAttributesW(argv[4]) != INVALID_FILE_ATTRIBUTES) {
        UniqueHandle ready(CreateFileW(argv[2], GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD done = 0;
        if (ready) WriteFile(ready.Get(), "witness\n", 8, &done, nullptr);
    }
    return 0;
}
