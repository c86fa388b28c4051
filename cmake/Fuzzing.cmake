# SPDX-License-Identifier: GPL-3.0-or-later
# libFuzzer builds: clang only, with AddressSanitizer and UndefinedBehaviorSanitizer on
# everything, and the fuzzer's own main() linked into each target.
option(KORVANI_FUZZ "Build the libFuzzer targets (clang)" OFF)

if(KORVANI_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "KORVANI_FUZZ needs clang (cmake --preset fuzz)")
  endif()
  target_compile_options(korvani_options INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(korvani_options INTERFACE -fsanitize=address,undefined)
endif()
