# Runs the library example (examples/library) and checks what it prints: one line per
# frequency, ten in all, each with the phase and group velocity of mode 0 of both waves,
# all within the S velocities of the crustal model, and phase velocities falling with
# frequency (velocities grow with depth there, so the fundamental modes disperse normally).
#
#   cmake -DEXAMPLE=<program> -P library_example_check.cmake
# or include()d with EXAMPLE set.
if(NOT EXAMPLE)
  message(FATAL_ERROR "EXAMPLE (the example program) is not set")
endif()

execute_process(COMMAND "${EXAMPLE}" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${EXAMPLE} failed (${rc}):\n${out}${err}")
endif()

string(REGEX REPLACE "\n$" "" body "${out}")
string(REPLACE "\n" ";" lines "${body}")
list(LENGTH lines count)
if(NOT count EQUAL 10)
  message(FATAL_ERROR "expected 10 lines, got ${count}:\n${out}")
endif()

set(number "([0-9]+\\.[0-9]+)")
set(pattern "^f +${number} Hz +Rayleigh: c +${number} m/s +U +${number} m/s +Love: c +${number} m/s +U +${number} m/s$")
set(previous_f -1)
foreach(line IN LISTS lines)
  if(NOT line MATCHES "${pattern}")
    message(FATAL_ERROR "not a line with both fundamental modes: '${line}'\n${out}")
  endif()
  set(f ${CMAKE_MATCH_1})
  set(rc_ ${CMAKE_MATCH_2})
  set(lc_ ${CMAKE_MATCH_4})
  foreach(v IN ITEMS ${CMAKE_MATCH_2} ${CMAKE_MATCH_3} ${CMAKE_MATCH_4} ${CMAKE_MATCH_5})
    # CMake compares decimal strings as floating-point numbers.
    if(v LESS 2000 OR v GREATER 4600)
      message(FATAL_ERROR "velocity ${v} m/s outside 2000 .. 4600 in '${line}'\n${out}")
    endif()
  endforeach()
  if(NOT f GREATER previous_f)
    message(FATAL_ERROR "frequencies do not increase at '${line}'\n${out}")
  endif()
  if(previous_f GREATER -1 AND (rc_ GREATER previous_rc OR lc_ GREATER previous_lc))
    message(FATAL_ERROR "a phase velocity rises with frequency at '${line}'\n${out}")
  endif()
  set(previous_f ${f})
  set(previous_rc ${rc_})
  set(previous_lc ${lc_})
endforeach()
