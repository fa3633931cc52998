// `lorvaxen.make` and the `Label` it returns.
#pragma once

#include <pybind11/pybind11.h>

namespace lorvaxen::python {

namespace py = pybind11;

// Adds make() and the Label class to the module; `refusedText` is the exception class that a text
// the symbology does not take raises.
void addMake(py::module_& module, const py::object& refusedText);

} // namespace lorvaxen::python
