# Debian's interpreter, whose numpy the module's users and tests have, and pybind11 for it.
# Sets VEMLARI_PYTHON_FOUND.
if(NOT DEFINED Python_EXECUTABLE AND EXISTS /usr/bin/python3)
  set(Python_EXECUTABLE /usr/bin/python3 CACHE FILEPATH "The interpreter the Python module is built for")
endif()
find_package(Python 3 QUIET COMPONENTS Interpreter Development.Module)
if(Python_FOUND)
  find_package(pybind11 CONFIG QUIET)
endif()
set(VEMLARI_PYTHON_FOUND ${pybind11_FOUND})
