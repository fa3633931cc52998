// `lorvaxen.verify` and the `Verification` it returns.
#pragma once

#include <pybind11/pybind11.h>

namespace lorvaxen::python {

namespace py = pybind11;

void addVerify(py::module_& module);

} // namespace lorvaxen::python
