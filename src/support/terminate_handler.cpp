// The handler std::terminate calls unless the program sets another: it names the uncaught
// exception on stderr and aborts. The runtime library's own handler does the same but first
// demangles the type name, and its demangler alone would be a fifth of a statically linked
// program; this definition takes its place at link time and names the type as the compiler
// encoded it, as the library's handler does when demangling fails.
#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <typeinfo>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
  static bool terminating = false;
  if (terminating) {
    std::fputs("terminate called recursively\n", stderr);
    std::abort();
  }
  terminating = true;

  const std::type_info* type = abi::__cxa_current_exception_type();
  if (type == nullptr) {
    std::fputs("terminate called without an active exception\n", stderr);
    std::abort();
  }
  const char* name = type->name();
  std::fputs("terminate called after throwing an instance of '", stderr);
  std::fputs(name[0] == '*' ? name + 1 : name, stderr);
  std::fputs("'\n", stderr);
  try {
    throw;
  } catch (const std::exception& error) {
    std::fputs("  what():  ", stderr);
    std::fputs(error.what(), stderr);
    std::fputs("\n", stderr);
  } catch (...) {
  }
  std::abort();
}

}  // namespace __gnu_cxx
