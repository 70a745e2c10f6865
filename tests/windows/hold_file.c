// SPDX-License-Identifier: GPL-3.0-or-later
// Holds a file open without sharing it, as another program busy with it
// would, until its standard input ends: the installer tests use it to see
// that a file that cannot be written or removed is never passed over.
//
//   hold_file.exe FILE        prints "held" once the file is held
#include <stdio.h>
#include <windows.h>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const HANDLE file = CreateFileA(argv[1], GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) {
    fprintf(stderr, "cannot hold %s: error %lu\n", argv[1], GetLastError());
    return 1;
  }
  printf("held\n");
  fflush(stdout);
  while (getchar() != EOF) {
  }
  CloseHandle(file);
  return 0;
}
