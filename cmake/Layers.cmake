# SPDX-License-Identifier: GPL-3.0-or-later
# The core's layers, each a library of its own that links only the layers it uses, and an
# include check that fails the build when a source includes a header of a layer it may not
# use. So a wrong include is an error at once, not a reviewer's catch.
#
#   korvani_layer(<name> FOLDER <folder under src> USES <layers...> SOURCES <files...>)

function(korvani_layer name)
  cmake_parse_arguments(LAYER "" "FOLDER" "USES;SOURCES" ${ARGN})
  add_library(korvani_${name} STATIC ${LAYER_SOURCES})
  add_library(korvani::${name} ALIAS korvani_${name})
  target_include_directories(korvani_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(korvani_${name} PUBLIC korvani::options)

  # What the layer may include: its own folder and, through the layers it uses, theirs.
  set(allowed ${LAYER_FOLDER})
  foreach(used IN LISTS LAYER_USES)
    target_link_libraries(korvani_${name} PUBLIC korvani_${used})
    get_property(usedAllowed GLOBAL PROPERTY KORVANI_LAYER_${used}_ALLOWED)
    list(APPEND allowed ${usedAllowed})
  endforeach()
  list(REMOVE_DUPLICATES allowed)
  set_property(GLOBAL PROPERTY KORVANI_LAYER_${name}_ALLOWED ${allowed})

  file(GLOB_RECURSE headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${LAYER_FOLDER}/*.h)
  set(checked ${headers})
  foreach(source IN LISTS LAYER_SOURCES)
    list(APPEND checked ${CMAKE_CURRENT_SOURCE_DIR}/${source})
  endforeach()
  korvani_check_includes(${name} korvani_${name} ALLOWED ${allowed} FILES ${checked})
endfunction()

# The include check for one target: before `target` builds, every file of FILES includes
# project headers in quotes, by their path under src (or tests), and only from the folders
# ALLOWED (* for any: the shell, the tests and the benchmarks may use every layer).
function(korvani_check_includes name target)
  cmake_parse_arguments(CHECK "" "" "ALLOWED;FILES" ${ARGN})
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/korvani_${name}.includes-checked)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -D "LAYER=${name}" -D "ALLOWED=${CHECK_ALLOWED}" -D "FILES=${CHECK_FILES}"
            -D "ROOTS=${PROJECT_SOURCE_DIR}/src;${PROJECT_SOURCE_DIR}/tests" -D "STAMP=${stamp}"
            -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayerIncludes.cmake
    DEPENDS ${CHECK_FILES} ${PROJECT_SOURCE_DIR}/cmake/CheckLayerIncludes.cmake
    COMMENT "Checking what the ${name} layer includes"
    VERBATIM)
  add_custom_target(korvani_${name}_includes DEPENDS ${stamp})
  add_dependencies(${target} korvani_${name}_includes)
endfunction()
