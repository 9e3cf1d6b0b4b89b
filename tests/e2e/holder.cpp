// e2e_holder: holds one file open the way a running game or a virus scanner
// does, so that the tool meets a file it cannot rename.
//
//   e2e_holder FILE READY
//
// Opens FILE for reading with FILE_SHARE_READ only (no write or delete
// sharing), then creates the file READY to say so, and keeps FILE open until
// the process is ended. Exits with 1 when FILE cannot be opened.
#include <windows.h>

#include <string>

namespace {

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { if (ok()) CloseHandle(h_); }
    bool ok() const { return h_ && h_ != INVALID_HANDLE_VALUE; }
private:
    HANDLE h_;
};

void say(const std::string& line) {
    DWORD done = 0;
    const std::string text = line + "\n";
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text.data(), DWORD(text.size()), &done, nullptr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        say("usage: e2e_holder FILE READY");
        return 2;
    }
    Handle held(CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr));
    if (!held.ok()) {
        say("e2e_holder: cannot open the file, error " + std::to_string(GetLastError()));
        return 1;
    }
    Handle ready(CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!ready.ok()) {
        say("e2e_holder: cannot create the ready file, error " + std::to_string(GetLastError()));
        return 1;
    }
    for (;;) Sleep(INFINITE);
}
