// read_models: the library's model-file readers.
#include <pybind11/stl.h>

#include "python/src/bindings.h"
#include "python/src/errors.h"
#include "vemlari/model_files.h"

namespace vemlari::python {

void bind_model_files(py::module_& m) {
    m.def(
        "read_models",
        [](const py::object& path) {
            const std::string name = py::str(py::module_::import("os").attr("fspath")(path));
            std::vector<ModelRecord> records;
            {
                py::gil_scoped_release free;
                records = vemlari::read_models(name);
            }
            py::list out;
            for (ModelRecord& r : records) out.append(r.model ? py::cast(std::move(*r.model)) : model_error(r.refusal));
            return out;
        },
        py::arg("path"), R"(The models of a file, as the command line reads them.

path  a str or path-like: the interactive program's model file (its CSV layer table), a
      model96 file (km, km/s, g/cm^3, converted to SI exactly), or a list of models: per
      model a line with its number of layers, then per layer "thickness vp vs rho [qs [qp]]"
      in m, m/s, kg/m^3, the half-space last with thickness 0

Returns a list with a vemlari.Model for each model of the file, in its order, or, in the
place of a model that cannot be read or is invalid, the vemlari.ModelError that says why
("file:line: what was expected"), so that the list goes to dispersion_many as it is. A file
that cannot be opened gives one ModelError.)");
}

}  // namespace vemlari::python
