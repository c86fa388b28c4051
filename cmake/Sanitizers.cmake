# SPDX-License-Identifier: GPL-3.0-or-later
# One switch for AddressSanitizer and UndefinedBehaviorSanitizer on every target that
# links korvani_options.
option(KORVANI_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(KORVANI_SANITIZE)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    message(FATAL_ERROR "KORVANI_SANITIZE needs GCC or Clang")
  endif()
  target_compile_options(korvani_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(korvani_options INTERFACE -fsanitize=address,undefined)
endif()

# ThreadSanitizer, for the code that runs on a second thread (the console's emulator); it
# cannot be combined with AddressSanitizer, so it is a build of its own.
option(KORVANI_SANITIZE_THREAD "Build with ThreadSanitizer" OFF)
if(KORVANI_SANITIZE_THREAD)
  if(KORVANI_SANITIZE)
    message(FATAL_ERROR "KORVANI_SANITIZE_THREAD and KORVANI_SANITIZE cannot be on together")
  endif()
  target_compile_options(korvani_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(korvani_options INTERFACE -fsanitize=thread)
endif()
