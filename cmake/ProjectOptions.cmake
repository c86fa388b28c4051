# SPDX-License-Identifier: GPL-3.0-or-later
# One INTERFACE target carries the language level, warnings and defines for every
# target of the project. Nothing is appended to CMAKE_CXX_FLAGS.
add_library(korvani_options INTERFACE)
add_library(korvani::options ALIAS korvani_options)

target_compile_features(korvani_options INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(korvani_options INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wold-style-cast -Wnon-virtual-dtor
    -Wconversion -Wno-sign-conversion)
  if(KORVANI_WERROR)
    target_compile_options(korvani_options INTERFACE -Werror)
    target_compile_definitions(korvani_options INTERFACE _GLIBCXX_ASSERTIONS)
  endif()
elseif(MSVC)
  target_compile_options(korvani_options INTERFACE /W4 /permissive-)
  if(KORVANI_WERROR)
    target_compile_options(korvani_options INTERFACE /WX)
  endif()
endif()

target_compile_definitions(korvani_options INTERFACE
  KORVANI_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
  KORVANI_VERSION_MINOR=${PROJECT_VERSION_MINOR}
  KORVANI_VERSION_BUILD=${PROJECT_VERSION_PATCH})
