# The programs (the dialogue and its records, the command line, the Python bindings) see the
# library only through its public headers, include/vemlari/: an include of one of the
# library's internal folders fails. Run as cmake -DSOURCE_DIR=<tree> -P <this file>.
set(internal "model|kernels|dispersion|eigen|parallel|api|io|src")
file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} LIST_DIRECTORIES false
  ${SOURCE_DIR}/program/* ${SOURCE_DIR}/records/* ${SOURCE_DIR}/cli/* ${SOURCE_DIR}/python/*)
list(FILTER files INCLUDE REGEX "\\.(h|hpp|cpp|cc)$")
set(found "")
foreach(file IN LISTS files)
  file(STRINGS ${SOURCE_DIR}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<](\\.\\./)*(${internal})/")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    string(APPEND found "\n  ${file}: ${line}")
  endforeach()
endforeach()
list(LENGTH files count)
if(count EQUAL 0)
  message(FATAL_ERROR "no program sources under ${SOURCE_DIR}")
endif()
if(found)
  message(FATAL_ERROR "internal headers included by the programs (use include/vemlari/):${found}")
endif()
message(STATUS "${count} program files include public headers only")
