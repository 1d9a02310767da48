// kestrand.exe's handler for an exception nothing caught: abort, as the
// default does, but without naming the exception's type on stderr, which a
// GUI program has not got. Defining it keeps libstdc++'s verbose handler and
// its demangler (about 47 KB) out of the executable.
#include <cstdlib>

namespace __gnu_cxx {

[[noreturn]] void __verbose_terminate_handler();

[[noreturn]] void __verbose_terminate_handler() {
    std::abort();
}

} // namespace __gnu_cxx
