#include "sim/program_arguments.h"

#include <memory>

#ifdef _WIN32
#include <windows.h>
// shellapi.h needs the types of windows.h, so it must come second.
#include <shellapi.h>
#endif

namespace z4::sim {

#ifdef _WIN32

namespace {

std::string Utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return std::string();
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
  utf8.pop_back();  // the terminating zero
  return utf8;
}

struct LocalFreeDeleter {
  void operator()(wchar_t** argv) const { LocalFree(argv); }
};

}  // namespace

// The narrow argv is in the ANSI code page and loses what it cannot show, so
// the arguments are taken again from the wide command line.
std::vector<std::string> ProgramArguments(int /*argc*/, char** /*argv*/) {
  int count = 0;
  std::unique_ptr<wchar_t*, LocalFreeDeleter> wide(CommandLineToArgvW(GetCommandLineW(), &count));
  std::vector<std::string> args;
  for (int i = 1; wide && i < count; ++i) args.push_back(Utf8(wide.get()[i]));
  return args;
}

#else

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

#endif

}  // namespace z4::sim
