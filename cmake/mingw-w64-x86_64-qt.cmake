# SPDX-License-Identifier: GPL-3.0-or-later
# The MinGW-w64 cross build with the windows: as mingw-w64-x86_64.cmake, and
# also finds Qt for Windows in the folder TAILORLOFT_QT_WINDOWS names (set by
# scripts/windows-test.sh to what scripts/build-qt-windows.sh printed).
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake)
if(DEFINED ENV{TAILORLOFT_QT_WINDOWS})
  list(APPEND CMAKE_FIND_ROOT_PATH "$ENV{TAILORLOFT_QT_WINDOWS}")
endif()
