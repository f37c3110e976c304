#pragma once
// What the binding files share: the module's parts, each defined in its own file.
#include <pybind11/pybind11.h>

namespace vemlari::python {

namespace py = pybind11;

void bind_errors(py::module_& m);
void bind_model(py::module_& m);
void bind_frequencies(py::module_& m);
void bind_result(py::module_& m);
void bind_dispersion(py::module_& m);
void bind_fields(py::module_& m);
void bind_kernels_result(py::module_& m);
void bind_kernels(py::module_& m);
void bind_model_files(py::module_& m);
void bind_transverse_kernels(py::module_& m);

}  // namespace vemlari::python
