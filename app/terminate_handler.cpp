// What ends the program when an exception finds no handler or a noexcept
// function lets one out. The library's default handler first writes the
// exception's demangled type and its what() to the standard error, which a
// program without a console never shows, and needs the whole C++ demangler
// for that: some 50 KB of the exe. Defining the handler here keeps that out;
// the end is the same abort().
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
