#include "python/src/errors.h"

#include "python/src/bindings.h"
#include "vemlari/error.h"

namespace vemlari::python {

namespace {

// Owned for the life of the process: a static py::object would be released after the
// interpreter is gone.
PyObject* model_error_type = nullptr;

bool about_the_model(Error::Rule r) {
    using R = Error::Rule;
    return r != R::frequencies && r != R::option && r != R::request && r != R::cancelled;
}

}  // namespace

py::object model_error(const std::string& message) {
    return py::reinterpret_borrow<py::object>(model_error_type)(message);
}

void raise_model_error(const std::string& message) {
    PyErr_SetString(model_error_type, message.c_str());
    throw py::error_already_set();
}

bool is_model_error(const py::error_already_set& e) { return e.matches(model_error_type); }

void bind_errors(py::module_& m) {
    model_error_type = PyErr_NewExceptionWithDoc(
        "vemlari.ModelError", "An invalid model: the message names the layer, the quantity and the rule broken.",
        PyExc_ValueError, nullptr);
    if (!model_error_type) throw py::error_already_set();
    m.add_object("ModelError", py::handle(model_error_type));
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p) std::rethrow_exception(p);
        } catch (const Error& e) {
            PyErr_SetString(e.rule() == Error::Rule::cancelled ? PyExc_KeyboardInterrupt
                            : about_the_model(e.rule())        ? model_error_type
                                                               : PyExc_ValueError,
                            e.what());
        }
    });
}

}  // namespace vemlari::python
