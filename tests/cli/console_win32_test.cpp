// SPDX-License-Identifier: GPL-3.0-or-later
// A message of tailorloft-cli as a Windows console shows it: every character
// of a file name, whatever the console's code page.
#include "cli/console_win32.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace tailorloft::cli {
namespace {

std::wstring WideFromUtf8(const std::string& utf8) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
  return wide;
}

TEST(ConsoleTest, RefusalNamesEveryCharacterInAnOemConsole) {
  // A console of our own (Wine makes a working one only with a display).
  FreeConsole();
  if (!AllocConsole()) GTEST_SKIP() << "no console can be made here";
  HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(console, INVALID_HANDLE_VALUE);
  wchar_t probe = L'\0';
  DWORD count = 0;
  if (!WriteConsoleW(console, L"?", 1, &count, nullptr) ||
      !ReadConsoleOutputCharacterW(console, &probe, 1, COORD{0, 0}, &count) || probe != L'?') {
    CloseHandle(console);
    FreeConsole();
    GTEST_SKIP() << "this console cannot be read back";
  }
  const HANDLE oldError = GetStdHandle(STD_ERROR_HANDLE);
  SetStdHandle(STD_ERROR_HANDLE, console);
  // The code page of an English console, which has neither the check mark
  // nor the euro sign: bytes written as they are would show as other signs.
  SetConsoleOutputCP(437);
  SetConsoleCursorPosition(console, COORD{0, 0});

  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(RunCli({"--stdout", "x-B\u2713\u20ac-PELVIS-BODY.skn"}, {}, out, err), kExitFailure);
  const std::string message = err.str();
  ASSERT_NE(message.find("\u2713"), std::string::npos) << message;
  EXPECT_TRUE(WriteStandard(STD_ERROR_HANDLE, stderr, message));

  // The start of the first line, short of the console's width.
  const std::wstring expected = WideFromUtf8(message.substr(0, message.find('\n'))).substr(0, 60);
  std::vector<wchar_t> shown(expected.size() + 1, L'\0');
  DWORD read = 0;
  ASSERT_TRUE(ReadConsoleOutputCharacterW(console, shown.data(), static_cast<DWORD>(expected.size()),
                                          COORD{0, 0}, &read));
  EXPECT_EQ(std::wstring(shown.data(), read), expected);

  SetStdHandle(STD_ERROR_HANDLE, oldError);
  CloseHandle(console);
  FreeConsole();
}

}  // namespace
}  // namespace tailorloft::cli
