#pragma once
// vemlari.DispersionResult: one wave's tables as numpy arrays.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <string>

#include "python/src/wave_table.h"

namespace vemlari::python {

namespace py = pybind11;

struct DispersionResult {
    std::string wave;
    py::array frequency, period, mode, phase_velocity, group_velocity, energy_integral, response, ellipticity, found_at;
    py::list diagnostics;
    py::array ellipticity_signed;
    py::array seafloor_ellipticity;
};

// Needs the GIL.
DispersionResult to_result(WaveTable&& table);

}  // namespace vemlari::python
