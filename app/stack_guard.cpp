// The stack canary's value and what a smashed canary or a checked copy that
// would overrun does, in place of the compiler's support library. Its guard
// is drawn through the cryptographic provider, which loads three libraries
// at every start only to unload them again; the system's random generator,
// in advapi32 that the exe imports anyway, gives the same kind of value.
// Defining these symbols here keeps the library's own definitions out of the
// link; its checked copies (memcpy's and the like) call __chk_fail below.
#include <windows.h>

#include <ntsecapi.h>

#include <cstdint>

extern "C" {
// Set before any of the program's own code runs: the constructor below comes
// first among the static initialisers.
void* __stack_chk_guard = nullptr;

// The process ends at once, as the library's handler ends it after writing
// a line that a program without a console never shows.
[[noreturn]] void __stack_chk_fail() { __builtin_trap(); }
[[noreturn]] void __stack_chk_fail_local() { __builtin_trap(); }
[[noreturn]] void __chk_fail() { __builtin_trap(); }
}

namespace {
// Priority 101: before every static initialiser of the program, so that no
// function of its own sees the guard change under its frame.
__attribute__((constructor(101), no_stack_protector)) void SetStackGuard() {
  void* guard = nullptr;
  if (!RtlGenRandom(&guard, sizeof guard) || !guard) {
    // Without a random value, one that no string copy can write: a zero
    // byte, a line feed and 0xFF, as the library's fallback.
    guard = reinterpret_cast<void*>(static_cast<uintptr_t>(0xFF0A0000u));
  }
  __stack_chk_guard = guard;
}
}  // namespace
