# SPDX-License-Identifier: GPL-3.0-or-later
# Gives a Windows program its icon, version information (from the project's
# version) and manifest, all in one resource file generated for it.
function(tailorloft_windows_resources target description)
  if(NOT WIN32)
    return()
  endif()
  enable_language(RC)
  set(TAILORLOFT_RC_NAME ${target})
  set(TAILORLOFT_RC_DESCRIPTION "${description}")
  set(TAILORLOFT_RC_ICON "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/tailorloft.ico")
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}-resources)
  set(TAILORLOFT_RC_MANIFEST "${dir}/${target}.manifest")
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/tailorloft.manifest.in ${TAILORLOFT_RC_MANIFEST} @ONLY)
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/resources.rc.in ${dir}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${dir}/${target}.rc)
  # The resource file names these, so a change to either rebuilds it.
  set_source_files_properties(${dir}/${target}.rc PROPERTIES
    OBJECT_DEPENDS "${TAILORLOFT_RC_ICON};${TAILORLOFT_RC_MANIFEST}")
  if(MSVC)
    # The manifest comes from the resource file alone.
    target_link_options(${target} PRIVATE /MANIFEST:NO)
  endif()
endfunction()
