#include "made_label.h"

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <pybind11/stl.h>

#include "arguments.h"
#include "formats.h"
#include "make_label.h"

namespace lorvaxen::python {
namespace {

// A label made, with the pixels of its picture as the raster formats draw it, once asked for.
class PyLabel
{
  public:
    explicit PyLabel(MadeLabel made) : made_(std::move(made)) {}

    const MadeLabel& made() const { return made_; }

    // The picture drawn, turned, a byte a pixel: 0 where ink is, 255 elsewhere. Drawn with other
    // threads let run, and kept only under the lock, so that two threads asking at once cannot
    // tear it.
    const std::vector<uint8_t>& levels()
    {
        if (!levels_.empty()) {
            return levels_;
        }
        std::vector<uint8_t> levels;
        MonoImage drawn;
        {
            const py::gil_scoped_release unlocked;
            drawn = rotated(rasterize(made_.label), made_.label.rotation);
            levels.resize(static_cast<std::size_t>(drawn.width) *
                          static_cast<std::size_t>(drawn.height));
            std::size_t at = 0;
            for (int32_t y = 0; y < drawn.height; ++y) {
                for (int32_t x = 0; x < drawn.width; ++x) {
                    levels[at++] = drawn.isBlack(x, y) ? 0 : 255;
                }
            }
        }
        if (levels_.empty()) {
            width_ = drawn.width;
            height_ = drawn.height;
            levels_ = std::move(levels);
        }
        return levels_;
    }
    int32_t pixelWidth() const { return width_; }
    int32_t pixelHeight() const { return height_; }

    py::bytes bytesOf(ImageFormat format) const
    {
        std::optional<std::vector<uint8_t>> bytes;
        {
            const py::gil_scoped_release unlocked;
            bytes = imageBytes(made_.label, format);
        }
        if (!bytes) {
            throw std::runtime_error("the label could not be written as " +
                                     std::string(formatName(format)) +
                                     " (not enough memory for its size?)");
        }
        return {reinterpret_cast<const char*>(bytes->data()), bytes->size()};
    }

  private:
    MadeLabel made_;
    std::vector<uint8_t> levels_;
    int32_t width_ = 0;
    int32_t height_ = 0;
};

[[noreturn]] void raiseRefusal(const py::object& refusedText, const MadeLabel& made)
{
    py::object error;
    if (const auto refusal = made.refusal()) {
        error = refusedText(refusal->message, refusal->code,
                            refusal->position == 0 ? py::object(py::none())
                                                   : py::object(py::int_(refusal->position)),
                            refusal->character.empty() ? py::object(py::none())
                                                       : py::object(py::str(refusal->character)));
    } else {
        error = refusedText(made.problem, py::none(), py::none(), py::none());
    }
    PyErr_SetObject(refusedText.ptr(), error.ptr());
    throw py::error_already_set();
}

py::object toImage(PyLabel& label)
{
    const py::module_ pil = py::module_::import("PIL.Image");
    const MadeLabel& made = label.made();
    const std::vector<uint8_t>& levels = label.levels();
    const py::tuple size = py::make_tuple(label.pixelWidth(), label.pixelHeight());
    const Paint& paint = made.label.paint;
    py::object image;
    if (paint.blackOnWhite()) {
        image = pil.attr("frombytes")(
                       "L", size,
                       py::bytes(reinterpret_cast<const char*>(levels.data()), levels.size()))
                    .attr("convert")("1");
    } else {
        const bool alpha = !paint.background;
        const std::size_t channels = alpha ? 4 : 3;
        std::string pixels(levels.size() * channels, '\0');
        const Colour ground = paint.background.value_or(Colour{255, 255, 255});
        for (std::size_t i = 0; i < levels.size(); ++i) {
            const Colour& c = levels[i] == 0 ? paint.ink : ground;
            char* out = pixels.data() + i * channels;
            out[0] = static_cast<char>(c.red);
            out[1] = static_cast<char>(c.green);
            out[2] = static_cast<char>(c.blue);
            if (alpha) {
                out[3] = static_cast<char>(levels[i] == 0 ? 255 : 0);
            }
        }
        image = pil.attr("frombytes")(alpha ? "RGBA" : "RGB", size, py::bytes(pixels));
    }
    if (made.size.dpi > 0) {
        image.attr("info")["dpi"] = py::make_tuple(made.size.dpi, made.size.dpi);
    }
    return image;
}

void save(const PyLabel& label, const py::object& path)
{
    const auto name = py::str(py::module_::import("os").attr("fspath")(path)).cast<std::string>();
    const auto format = formatFromPath(name);
    if (!format) {
        throw py::value_error("path: cannot tell the format from '" + name + "': end it with " +
                              formatList(FormatSpelling::Extension, "or"));
    }
    const py::bytes bytes = label.bytesOf(*format);
    // Written through Python's own file, so that its errors are Python's OSError.
    py::object file = py::module_::import("builtins").attr("open")(name, "wb");
    file.attr("write")(bytes);
    file.attr("close")();
}

constexpr const char* kMakeDoc =
    R"(make(text, symbology="code39", *, narrow=None, height=None, ratio=None, check=False, dpi=600, quiet_zone=True, human_readable=True, text_size=None, rotate=0, bar_reduction=0.0, bearer=None, as_given=False, fg="black", bg="white") -> Label

Makes a label: the symbol with every rule of its symbology, its light margins, the
human-readable text, bearer bars, the turn and the colours, as the lorvaxen command does.

text            what to encode.
symbology       jan, upca, code39, itf, itf14, nw7 or codabar, or an alias (ean13, upc-a, ...).
narrow          the module (narrow element) width: millimetres, or a string with its unit
                ("0.33mm", "13mil", "0.013in", "1pt"); None for 0.33 mm, or ITF-14's 1.016 mm.
height          the bars' height; the symbology's default when None, and always at least twice
                the text's height then.
ratio           the wide-to-narrow ratio (2.5 when None), drawn in whole dots and kept within
                what the symbology allows (a warning says when).
check           add the symbology's check character.
dpi             the printer's resolution: every width is a whole number of its dots.
quiet_zone      the light margins readers need on each side.
human_readable  the text under the bars; text_size its digits' height.
rotate          0, 90, 180 or 270 degrees clockwise.
bar_reduction   print every bar this much narrower, for ink that spreads.
bearer          'none', 'bars' or 'frame' (Interleaved 2 of 5; a frame for ITF-14 by default).
as_given        print a JAN's, UPC-A's or ITF-14's wrong check digit as it is.
fg, bg          colours: '#rrggbb', '#rgb', 'black' or 'white'; bg may be None or 'none' for a
                transparent ground.

Raises RefusedText for a text the symbology does not take, ValueError or TypeError for an
argument that is wrong (its name first in the message).)";

} // namespace

void addMake(py::module_& module, const py::object& refusedText)
{
    py::class_<PyLabel>(module, "Label", py::buffer_protocol(),
                        "A label made by make(): its text, sizes, warnings and pictures.")
        .def_property_readonly(
            "text", [](const PyLabel& l) { return l.made().text; }, "The text as given.")
        .def_property_readonly(
            "framed", [](const PyLabel& l) { return l.made().barcode.framedText; },
            "The framed text: start, stop, padding and check characters included.")
        .def_property_readonly(
            "symbology",
            [](const PyLabel& l) { return std::string(l.made().symbology->facts.name); },
            "The symbology's name.")
        .def_property_readonly(
            "width_px", [](const PyLabel& l) { return l.made().size.widthPx; },
            "The picture's width in pixels, turned as it is.")
        .def_property_readonly(
            "height_px", [](const PyLabel& l) { return l.made().size.heightPx; },
            "The picture's height in pixels, turned as it is.")
        .def_property_readonly(
            "dpi", [](const PyLabel& l) { return l.made().size.dpi; },
            "The printer's resolution the label was made for, in dots per inch.")
        .def_property_readonly(
            "size_mm",
            [](const PyLabel& l) {
                return py::make_tuple(l.made().size.widthMm, l.made().size.heightMm);
            },
            "(width, height) in millimetres, turned as it is.")
        .def_property_readonly(
            "module_mm", [](const PyLabel& l) { return l.made().barcode.module.achievedMm; },
            "The module drawn, in millimetres: a whole number of dots.")
        .def_property_readonly(
            "warnings", [](const PyLabel& l) { return l.made().warnings; },
            "What the user should know of: a size outside the standard, a ratio changed.")
        .def(
            "to_png", [](const PyLabel& l) { return l.bytesOf(ImageFormat::Png); },
            "The label as a PNG file's bytes (1-bit, its resolution recorded).")
        .def(
            "to_svg", [](const PyLabel& l) { return l.bytesOf(ImageFormat::Svg); },
            "The label as an SVG file's bytes, sized in millimetres.")
        .def(
            "to_pdf", [](const PyLabel& l) { return l.bytesOf(ImageFormat::Pdf); },
            "The label as a one-page PDF file's bytes, the page the label's size.")
        .def(
            "to_eps", [](const PyLabel& l) { return l.bytesOf(ImageFormat::Eps); },
            "The label as an EPS file's bytes.")
        .def("save", &save, py::arg("path"),
             ("Writes the label to `path`, in the format its extension names (" +
              formatList(FormatSpelling::Extension, "or") + ").")
                 .c_str())
        .def("to_image", &toImage,
             "The label as a PIL.Image (Pillow must be installed): mode '1' for black on white, "
             "'RGB' with colours, 'RGBA' on a transparent ground; info['dpi'] its resolution.")
        .def(
            "to_numpy",
            [](const py::object& self) {
                const py::module_ numpy = py::module_::import("numpy");
                auto& label = self.cast<PyLabel&>();
                label.levels();
                return numpy.attr("asarray")(py::memoryview(self));
            },
            "The bars as a 2-D uint8 numpy array (numpy must be installed): 0 where a bar is, "
            "255 elsewhere, whatever the colours.")
        .def_buffer([](PyLabel& l) {
            const std::vector<uint8_t>& levels = l.levels();
            return py::buffer_info(
                const_cast<uint8_t*>(levels.data()), sizeof(uint8_t),
                py::format_descriptor<uint8_t>::format(), 2, {l.pixelHeight(), l.pixelWidth()},
                {static_cast<py::ssize_t>(l.pixelWidth()), py::ssize_t{1}}, true);
        })
        .def("__repr__", [](const PyLabel& l) {
            return "<lorvaxen.Label " + std::string(l.made().symbology->facts.name) + " '" +
                   l.made().barcode.framedText + "' " + std::to_string(l.made().size.widthPx) +
                   "x" + std::to_string(l.made().size.heightPx) + " px>";
        });

    module.def(
        "make",
        [refusedText](const std::string& text, py::object symbology, py::object narrow,
                      py::object height, py::object ratio, bool check, int dpi, bool quietZone,
                      bool humanReadable, py::object textSize, int rotate, py::object barReduction,
                      py::object bearer, bool asGiven, py::object fg, py::object bg) {
            const LabelSettings settings =
                labelSettings({std::move(symbology), std::move(narrow), std::move(height),
                               std::move(ratio), check, dpi, quietZone, humanReadable,
                               std::move(textSize), rotate, std::move(barReduction),
                               std::move(bearer), asGiven, std::move(fg), std::move(bg)});
            MadeLabel made;
            {
                const py::gil_scoped_release unlocked;
                made = makeLabel(text, settings);
            }
            if (!made.succeeded()) {
                if (made.refused() || made.label.image.width == 0) {
                    raiseRefusal(refusedText, made);
                }
                throw py::value_error(made.problem);
            }
            return PyLabel(std::move(made));
        },
        py::arg("text"), py::arg("symbology") = "code39", py::kw_only(),
        py::arg("narrow") = py::none(), py::arg("height") = py::none(),
        py::arg("ratio") = py::none(), py::arg("check") = false, py::arg("dpi") = 600,
        py::arg("quiet_zone") = true, py::arg("human_readable") = true,
        py::arg("text_size") = py::none(), py::arg("rotate") = 0, py::arg("bar_reduction") = 0.0,
        py::arg("bearer") = py::none(), py::arg("as_given") = false, py::arg("fg") = "black",
        py::arg("bg") = "white", kMakeDoc);
}

} // namespace lorvaxen::python
