# Installs the build tree into a fresh prefix, builds examples/library against it with
# find_package and runs it: the installed headers, library and package files must be
# enough for a client on their own.
#
#   cmake -DBUILD_DIR=<build tree> -DSOURCE_DIR=<source tree> -DWORK_DIR=<scratch dir>
#         -DGENERATOR=<generator> -DCXX_COMPILER=<compiler> [-DCONFIG=<config>]
#         [-DCXX_FLAGS=<flags>] [-DLINKER_FLAGS=<flags>] -P install_package.cmake
#
# CXX_FLAGS and LINKER_FLAGS carry the build's sanitizer flags: a sanitized library links
# only into a program built with the same ones.
foreach(v BUILD_DIR SOURCE_DIR WORK_DIR GENERATOR CXX_COMPILER)
  if(NOT ${v})
    message(FATAL_ERROR "${v} is not set")
  endif()
endforeach()

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    string(REPLACE ";" " " command "${ARGN}")
    message(FATAL_ERROR "${command} failed (${rc}):\n${out}")
  endif()
endfunction()

string(STRIP "${CXX_FLAGS}" CXX_FLAGS)
string(STRIP "${LINKER_FLAGS}" LINKER_FLAGS)

set(prefix "${WORK_DIR}/prefix")
set(client "${WORK_DIR}/client")
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

if(CONFIG)
  set(config_arg --config "${CONFIG}")
endif()

# The install writes its list of files into the build tree; put back what was there.
set(manifest "${BUILD_DIR}/install_manifest.txt")
set(had_manifest FALSE)
if(EXISTS "${manifest}")
  set(had_manifest TRUE)
  file(READ "${manifest}" old_manifest)
endif()
# DESTDIR from the environment would move the install out of the prefix.
unset(ENV{DESTDIR})
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}" ${config_arg}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(EXISTS "${manifest}")
  file(STRINGS "${manifest}" installed)
else()
  set(installed "")
endif()
if(had_manifest)
  file(WRITE "${manifest}" "${old_manifest}")
else()
  file(REMOVE "${manifest}")
endif()
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc}):\n${out}")
endif()
foreach(path IN LISTS installed)
  string(FIND "${path}" "${prefix}/" at)
  if(NOT at EQUAL 0)
    message(FATAL_ERROR "installed outside the prefix: ${path}")
  endif()
endforeach()

set(configure "${CMAKE_COMMAND}" -S "${SOURCE_DIR}/examples/library" -B "${client}" -G "${GENERATOR}"
  "-DCMAKE_CXX_COMPILER=${CXX_COMPILER}"
  "-DCMAKE_PREFIX_PATH=${prefix}"
  # Only the prefix: no package registry entry or other install may stand in for it.
  -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF -DCMAKE_FIND_USE_SYSTEM_PACKAGE_REGISTRY=OFF
  "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
  "-DCMAKE_EXE_LINKER_FLAGS=${LINKER_FLAGS}")
if(CONFIG)
  list(APPEND configure "-DCMAKE_BUILD_TYPE=${CONFIG}")
endif()
if(MAKE_PROGRAM)
  list(APPEND configure "-DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM}")
endif()
run(${configure})

file(STRINGS "${client}/CMakeCache.txt" found REGEX "^vemlari_DIR:")
if(NOT found MATCHES "=${prefix}/")
  message(FATAL_ERROR "the example found vemlari elsewhere than in ${prefix}: ${found}")
endif()

run("${CMAKE_COMMAND}" --build "${client}" ${config_arg})

set(EXAMPLE "${client}/vemlari_library_example")
if(CONFIG AND NOT EXISTS "${EXAMPLE}")
  set(EXAMPLE "${client}/${CONFIG}/vemlari_library_example")
endif()
include("${CMAKE_CURRENT_LIST_DIR}/library_example_check.cmake")

file(REMOVE_RECURSE "${WORK_DIR}")
