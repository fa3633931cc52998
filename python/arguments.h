// Python's arguments as the label layer takes them: lengths in millimetres or with their units,
// colours, and the settings of a label, each refused with a message that names the argument.
#pragma once

#include <optional>

#include <pybind11/pybind11.h>

#include "make_label.h"
#include "verify_label.h"

namespace lorvaxen::python {

namespace py = pybind11;

// A number of millimetres, or a string with its unit: "0.33mm", "13mil", "0.013in", "2pt".
double lengthArgument(py::handle value, const char* name);

// What `make` was given, each argument checked.
struct MakeArguments
{
    py::object symbology;
    py::object narrow;
    py::object height;
    py::object ratio;
    bool check = false;
    int dpi = 600;
    bool quietZone = true;
    bool humanReadable = true;
    py::object textSize;
    int rotate = 0;
    py::object barReduction;
    py::object bearer;
    bool asGiven = false;
    py::object fg;
    py::object bg;
};
LabelSettings labelSettings(const MakeArguments& arguments);

struct VerifyArguments
{
    py::object symbology;
    py::object dpi;
    py::object aperture;
    py::object xDimension;
    py::object light;
    int edition = 2016;
    py::object maxPixels;
};
VerifySettings verifySettings(const VerifyArguments& arguments);

} // namespace lorvaxen::python
