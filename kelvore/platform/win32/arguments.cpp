#include "kelvore/platform/arguments.h"

#include <windows.h>

#include "kelvore/base/win32/long_path.h"
#include "kelvore/platform/file_system.h"
#include "kelvore/tool/windows_command_line.h"
#include "platform/win32/module_path.h"
#include "platform/win32/wide_text.h"

namespace kelvore {

using platform::win32::Narrow;

// No shell expands them on Windows.
const bool kExpandsWildcards = true;

// The C runtime's argv holds the arguments in the ANSI code page; the wide command line
// keeps every character. Read whole, it also lets a line in Corvane's form whose caller left
// a path with blanks unquoted be recognised (Corvane itself quotes such paths).
std::vector<std::string> ProgramArguments(int, char**) {
  return ArgumentsFromCommandLine(Narrow(GetCommandLineW()), Narrow(platform::win32::ModulePath()),
                                  kOptionLetters, PathExists);
}

// Corvane passes the image's short 8.3 path; messages and the output's name use the long
// one, which may exceed what Windows takes without the \\?\ prefix. Windows expands the
// names of a path past that limit only in its prefixed form, and Wine only in its plain one.
std::string ResolvePath(const std::string& path) {
  const std::wstring long_form = LongPathForm(path);
  for (const std::wstring& candidate : {platform::win32::Widen(ShownPath(long_form)), long_form}) {
    const std::wstring expanded = GrowingPathCall([&candidate](wchar_t* buffer, DWORD size) {
      return GetLongPathNameW(candidate.c_str(), buffer, size);
    });
    if (!expanded.empty()) return ShownPath(expanded);
  }
  return ShownPath(long_form);
}

}  // namespace kelvore
