// SPDX-License-Identifier: GPL-3.0-or-later
// tailorloft-cli: writes one CMX suit file from skin file names given on the
// command line. Everything but reading the command line lives in cli.cpp.
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/signal_cleanup.h"

#ifdef _WIN32
#include "cli/console_win32.h"

#include <windows.h>
#include <shellapi.h>
#include <fcntl.h>
#include <io.h>

#include <sstream>

namespace {

std::string Utf8FromWide(const wchar_t* wide) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), size, nullptr, nullptr);
  utf8.pop_back();  // the terminating NUL
  return utf8;
}

// argv holds the command line in the ANSI code page, which cannot spell every
// file name; the wide command line can, and the program works in UTF-8.
std::vector<std::string> Arguments(int, char**) {
  std::vector<std::string> args;
  int count = 0;
  if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
    for (int i = 1; i < count; ++i) args.push_back(Utf8FromWide(wide[i]));
    LocalFree(wide);
  }
  return args;
}

}  // namespace
#else
namespace {

std::vector<std::string> Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

}  // namespace
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
  // --stdout must hand on the file's CR LF bytes unchanged.
  _setmode(_fileno(stdout), _O_BINARY);
  tailorloft::cli::RemovesTemporaryOnSignal fileSystem;
  // The program's text is UTF-8; it reaches the console only at the end, in
  // one wide write per stream.
  std::ostringstream out;
  std::ostringstream err;
  namespace cli = tailorloft::cli;
  int status = cli::RunCli(Arguments(argc, argv), {}, out, err, fileSystem);
  if (!cli::WriteStandard(STD_OUTPUT_HANDLE, stdout, out.str()) && status == cli::kExitSuccess) {
    err << "tailorloft-cli: Could not write to standard output.\n";
    status = cli::kExitFailure;
  }
  cli::WriteStandard(STD_ERROR_HANDLE, stderr, err.str());
  return status;
#else
  tailorloft::cli::RemovesTemporaryOnSignal fileSystem;
  return tailorloft::cli::RunCli(Arguments(argc, argv), {}, std::cout, std::cerr, fileSystem);
#endif
}
