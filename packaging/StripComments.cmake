# SPDX-License-Identifier: GPL-3.0-or-later
# Run by CPack on the staged files before it packs them: removes the section
# of compiler version notes from each program, as Debian's package builds do.
file(GLOB programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin/*")
foreach(program ${programs})
  execute_process(COMMAND "${CPACK_TAILORLOFT_OBJCOPY}" --remove-section=.comment "${program}"
                  RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "objcopy could not remove .comment from ${program}")
  endif()
endforeach()
