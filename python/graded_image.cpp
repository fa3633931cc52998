#include "graded_image.h"

#include <span>
#include <string>
#include <utility>
#include <vector>

#include <pybind11/stl.h>

#include "arguments.h"
#include "verify_label.h"
#include "verify_text.h"

namespace lorvaxen::python {
namespace {

// What verify found, held as the command line's --json report.
class PyVerification
{
  public:
    explicit PyVerification(py::dict report) : report_(std::move(report)) {}
    const py::dict& report() const { return report_; }
    py::object get(const char* key) const { return report_[key]; }

  private:
    py::dict report_;
};

// An image as Python may hold one: a PNG, PBM or BMP file's bytes, or a 2-D numpy array of 8 or
// 16-bit levels, 0 black.
std::optional<verifier::ReflectanceImage> arrayImage(const py::buffer& array)
{
    const py::buffer_info info = array.request();
    if (info.ndim != 2 || (info.itemsize != 1 && info.itemsize != 2) ||
        (info.format != "B" && info.format != "H")) {
        throw py::type_error("image: a numpy array must be 2-D, of uint8 or uint16 levels");
    }
    const auto height = info.shape[0];
    const auto width = info.shape[1];
    if (width <= 0 || height <= 0 || width > INT32_MAX || height > INT32_MAX) {
        throw py::value_error("image: the array is empty or too large");
    }
    verifier::ReflectanceImage image(static_cast<int32_t>(width), static_cast<int32_t>(height),
                                     info.itemsize == 2);
    const auto* base = static_cast<const uint8_t*>(info.ptr);
    for (py::ssize_t y = 0; y < height; ++y) {
        for (py::ssize_t x = 0; x < width; ++x) {
            const uint8_t* at = base + y * info.strides[0] + x * info.strides[1];
            const uint32_t level =
                info.itemsize == 2 ? *reinterpret_cast<const uint16_t*>(at) : uint32_t{*at} * 257U;
            image.setLevel(static_cast<int32_t>(x), static_cast<int32_t>(y), level);
        }
    }
    return image;
}

bool isPath(const py::handle& image)
{
    return py::isinstance<py::str>(image) ||
           py::isinstance(image, py::module_::import("os").attr("PathLike"));
}

GradedImage grade(const py::object& image, const VerifySettings& settings, bool* fromFile)
{
    *fromFile = false;
    if (isPath(image)) {
        *fromFile = true;
        const auto path =
            py::str(py::module_::import("os").attr("fspath")(image)).cast<std::string>();
        const py::gil_scoped_release unlocked;
        return verifyFile(path, settings);
    }
    if (py::isinstance<py::bytes>(image) || py::isinstance<py::bytearray>(image) ||
        py::isinstance<py::memoryview>(image)) {
        const py::buffer_info info = py::buffer(image).request();
        const std::span<const uint8_t> bytes(static_cast<const uint8_t*>(info.ptr),
                                             static_cast<std::size_t>(info.size * info.itemsize));
        const py::gil_scoped_release unlocked;
        return verifyBytes(bytes, settings);
    }
    if (py::hasattr(image, "save") && py::hasattr(image, "mode")) { // a PIL.Image
        const py::object buffer = py::module_::import("io").attr("BytesIO")();
        py::dict options;
        const py::object dpi = image.attr("info").attr("get")("dpi");
        if (!dpi.is_none()) {
            options["dpi"] = dpi;
        }
        image.attr("save")(buffer, "PNG", **options);
        const auto bytes = buffer.attr("getvalue")().cast<std::string>();
        const py::gil_scoped_release unlocked;
        return verifyBytes(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()),
                           settings);
    }
    if (py::hasattr(image, "ndim") && py::isinstance<py::buffer>(image)) {
        auto picture = arrayImage(image.cast<py::buffer>());
        picture->pixelsPerMm = 0;
        const py::gil_scoped_release unlocked;
        return verifyPicture(std::move(*picture), settings);
    }
    throw py::type_error("image: a path, PNG, PBM or BMP bytes, a PIL.Image or a 2-D numpy "
                         "array is needed");
}

constexpr const char* kVerifyDoc =
    R"(verify(image, *, symbology=None, dpi=None, aperture=None, x_dimension=None, light="red", edition=2016, max_pixels=None) -> Verification

Grades the print quality of a linear barcode in an image as `lorvaxen verify` does: ten scan
lines across the bars, each graded on decode, symbol contrast, minimum reflectance, minimum edge
contrast, modulation, defects, decodability and quiet zones, the symbol by their mean.

image        a path, a PNG, PBM or BMP file's bytes, a PIL.Image, or a 2-D numpy array of uint8
             or uint16 levels (0 black).
symbology    decode only as this one (a name or alias); else the first that decodes.
dpi          the image's resolution, over what it records.
aperture     the aperture's diameter (millimetres or a string with its unit), else 0.8 of
             x_dimension, else 0.8 of the module measured on the symbol.
light        'red' (660 nm), 'green', 'blue' or 'white'.
edition      2016 or 2000.
max_pixels   refuse larger images before reading them.

Raises ValueError when the image cannot be read or holds no barcode.)";

} // namespace

void addVerify(py::module_& module)
{
    py::class_<PyVerification>(module, "Verification",
                               "What verify() found: the grade, every scan, advice and warnings.")
        .def_property_readonly(
            "grade", [](const PyVerification& v) { return v.get("grade").cast<double>(); },
            "The symbol's grade from 0 to 4, cut to one decimal as reported.")
        .def_property_readonly(
            "letter", [](const PyVerification& v) { return v.get("letter").cast<std::string>(); },
            "The grade's letter: A, B, C, D or F.")
        .def_property_readonly(
            "text", [](const PyVerification& v) { return v.get("text"); },
            "The data read, as framed.")
        .def_property_readonly(
            "scans", [](const PyVerification& v) { return v.get("scans"); },
            "Each scan's parameters and grades, as dicts.")
        .def_property_readonly(
            "advice", [](const PyVerification& v) { return v.get("advice"); },
            "What a person should change, in sentences.")
        .def_property_readonly(
            "warnings", [](const PyVerification& v) { return v.get("warnings"); },
            "What to know of how the symbol was graded.")
        .def(
            "as_dict", [](const PyVerification& v) { return v.report().attr("copy")(); },
            "Everything, as `lorvaxen verify --json` reports it ('image' None for an image "
            "given in memory).")
        .def("__repr__", [](const PyVerification& v) {
            return "<lorvaxen.Verification " + py::str(v.get("grade")).cast<std::string>() + " (" +
                   v.get("letter").cast<std::string>() + ")>";
        });

    module.def(
        "verify",
        [](const py::object& image, py::object symbology, py::object dpi, py::object aperture,
           py::object xDimension, py::object light, int edition, py::object maxPixels) {
            const VerifySettings settings = verifySettings(
                {std::move(symbology), std::move(dpi), std::move(aperture), std::move(xDimension),
                 std::move(light), edition, std::move(maxPixels)});
            bool fromFile = false;
            const GradedImage graded = grade(image, settings, &fromFile);
            if (!graded.graded()) {
                throw py::value_error(graded.problem);
            }
            const std::string name =
                fromFile
                    ? py::str(py::module_::import("os").attr("fspath")(image)).cast<std::string>()
                    : std::string();
            const VerifyReport report{name, graded.light, graded.verification, graded.advice,
                                      graded.warnings};
            py::dict dict = py::module_::import("json").attr("loads")(reportJson(report));
            if (!fromFile) {
                dict["image"] = py::none();
            }
            return PyVerification(std::move(dict));
        },
        py::arg("image"), py::kw_only(), py::arg("symbology") = py::none(),
        py::arg("dpi") = py::none(), py::arg("aperture") = py::none(),
        py::arg("x_dimension") = py::none(), py::arg("light") = "red", py::arg("edition") = 2016,
        py::arg("max_pixels") = py::none(), kVerifyDoc);
}

} // namespace lorvaxen::python
