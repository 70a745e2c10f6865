# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the real tailorloft-cli executable: a save in an empty folder, the
# refusal to replace it, and --stdout, comparing exact bytes.
# Called as: cmake -DCLI=<executable> -DFOLDER=<scratch folder> -P binary_test.cmake
file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}")

set(expected "// Character File. Copyright 1997, Maxis Inc.\r\nversion 300\r\n0\r\n1\r\nB07\r\n0\r\n0\r\n2\r\nPELVIS\r\nx-B07-PELVIS-BODY\r\n0\r\n0\r\nL_HAND\r\nring\r\n0\r\n0\r\n0\r\n")
file(WRITE "${FOLDER}/expected.bytes" "${expected}")

function(run_cli want_status)
  execute_process(COMMAND "${CLI}" ${ARGN} WORKING_DIRECTORY "${FOLDER}"
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status STREQUAL want_status)
    message(FATAL_ERROR "tailorloft-cli ${ARGN}: exit ${status}, expected ${want_status}\n${err}")
  endif()
  set(err "${err}" PARENT_SCOPE)
endfunction()

function(expect_same_bytes file)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${FOLDER}/${file}" "${FOLDER}/expected.bytes"
                  RESULT_VARIABLE differ)
  if(differ)
    message(FATAL_ERROR "${file} does not hold the expected bytes")
  endif()
endfunction()

run_cli(0 skins/x-B07-PELVIS-BODY.skn L_HAND=ring.skn)
expect_same_bytes(B07.cmx)

run_cli(1 x-B07-PELVIS-BODY.skn)
if(NOT err MATCHES "^tailorloft-cli: .*\"B07.cmx\" already exists")
  message(FATAL_ERROR "unexpected message for an existing file: ${err}")
endif()

execute_process(COMMAND "${CLI}" --stdout x-B07-PELVIS-BODY.skn L_HAND=ring.skn
                WORKING_DIRECTORY "${FOLDER}" RESULT_VARIABLE status OUTPUT_FILE "${FOLDER}/stdout.bytes")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "--stdout: exit ${status}")
endif()
expect_same_bytes(stdout.bytes)

file(REMOVE_RECURSE "${FOLDER}")
