# SPDX-License-Identifier: GPL-3.0-or-later
# The fuzz build: every object compiled with libFuzzer's coverage hooks and with Address- and
# UndefinedBehaviorSanitizer; kerv_add_fuzzer() makes one target with libFuzzer's main.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "KERV_FUZZ needs clang (configure with CMAKE_CXX_COMPILER=clang++)")
endif()
set(KERV_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_compile_options(-fsanitize=fuzzer-no-link ${KERV_SANITIZERS} -g)
add_link_options(${KERV_SANITIZERS})

# kerv_add_fuzzer(NAME SOURCES... LIBRARIES...): the target fuzz_NAME. Its seed corpus is
# fuzz/corpus/NAME/, which scripts/fuzz.sh requires for every target.
function(kerv_add_fuzzer name)
  cmake_parse_arguments(FUZZ "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(fuzz_${name} ${FUZZ_SOURCES})
  target_link_libraries(fuzz_${name} PRIVATE ${FUZZ_LIBRARIES})
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  set_property(GLOBAL APPEND PROPERTY KERV_FUZZERS fuzz_${name})
endfunction()
