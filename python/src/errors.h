#pragma once
// The library's refusals as Python exceptions: ModelError for an invalid model, ValueError
// for the rest.
#include <pybind11/pybind11.h>

#include <string>

namespace vemlari::python {

// A vemlari.ModelError carrying `message`, to raise or to return in place of a result.
pybind11::object model_error(const std::string& message);
[[noreturn]] void raise_model_error(const std::string& message);
bool is_model_error(const pybind11::error_already_set& e);

}  // namespace vemlari::python
