# SPDX-License-Identifier: GPL-3.0-or-later
# Debian's hardening flags, as dpkg-buildflags gives them with every hardening
# feature on: fortified libc calls, the stack protector, read-only relocations
# bound at start-up (RELRO, BIND_NOW) and position-independent programs. The
# build type keeps choosing optimisation and debugging information, so -O and
# -g are left out, and so is the path map, which would hide the sources from a
# debugger. Only optimised builds get them: the fortified calls need the
# optimiser, and a -O0 build with _FORTIFY_SOURCE is a warning.
function(tailorloft_hardening)
  find_program(TAILORLOFT_DPKG_BUILDFLAGS dpkg-buildflags)
  if(NOT TAILORLOFT_DPKG_BUILDFLAGS)
    message(STATUS "dpkg-buildflags not found: building without Debian's hardening flags")
    return()
  endif()
  set(optimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
              ${TAILORLOFT_DPKG_BUILDFLAGS} --get ${kind}
      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
      RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "dpkg-buildflags --get ${kind} failed")
    endif()
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^-(g|O.*|ffile-prefix-map=.*|fdebug-prefix-map=.*)$")
    # Newer dpkg versions add stack clash protection and control-flow
    # protection to every build on amd64; older ones leave them out.
    if(kind STREQUAL CXXFLAGS)
      include(CheckCXXCompilerFlag)
      foreach(extra -fstack-clash-protection -fcf-protection)
        string(MAKE_C_IDENTIFIER "TAILORLOFT_HAS${extra}" has_flag)
        check_cxx_compiler_flag(${extra} ${has_flag})
        if(${has_flag} AND NOT extra IN_LIST flags)
          list(APPEND flags ${extra})
        endif()
      endforeach()
    endif()
    list(TRANSFORM flags PREPEND "${optimised}:")
    list(TRANSFORM flags PREPEND "$<")
    list(TRANSFORM flags APPEND ">")
    if(kind STREQUAL LDFLAGS)
      add_link_options(${flags})
    else()
      add_compile_options(${flags})
    endif()
  endforeach()
  # Position-independent executables; the compiler may default to them, but
  # not every compiler does.
  include(CheckPIESupported)
  check_pie_supported()
  set(CMAKE_POSITION_INDEPENDENT_CODE ON PARENT_SCOPE)
endfunction()
