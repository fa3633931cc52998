// The Python module `lorvaxen`: the label maker and the verifier of the lorvaxen tool, as
// functions and objects.
#include <pybind11/eval.h>
#include <pybind11/pybind11.h>

#include <Lorvaxen.h>

#include "graded_image.h"
#include "json_text.h"
#include "made_label.h"

namespace py = pybind11;

namespace {

constexpr const char* kModuleDoc = R"(Barcode labels and their print quality.

    >>> import lorvaxen
    >>> label = lorvaxen.make("4901234567894", "jan", dpi=300)
    >>> label.save("product.png")
    >>> lorvaxen.verify("product.png").letter
    'A'

make() turns a text into a label of one symbology (JAN/EAN-13, UPC-A, Code 39, Interleaved 2 of 5,
ITF-14, NW7 or Codabar): its check characters, a module of whole printer dots, light margins,
the human-readable text, bearer bars, turns and colours, as the lorvaxen command makes it. The
label gives PNG, SVG, PDF and EPS bytes, a PIL image, a numpy array or a memoryview of its pixels.

verify() grades a printed or scanned barcode by ISO/IEC 15416, from a file, bytes, a PIL image or
a numpy array, with advice on what to change.

Every call is independent and lets other threads run while it encodes, draws or grades.)";

// A text the symbology does not take: a ValueError that also says which character and where.
constexpr const char* kRefusedTextSource = R"(
class RefusedText(ValueError):
    """A text the symbology does not take.

    code       the library's result code (such as -22 for a character Code 39 does not have),
               or None for a rule of the label's own (a wrong check digit, say);
    position   the place of the character at fault, counted in characters from 1, or None;
    character  that character, or None.
    """

    def __init__(self, message, code=None, position=None, character=None):
        super().__init__(message)
        self.code = code
        self.position = position
        self.character = character
)";

} // namespace

PYBIND11_MODULE(lorvaxen, module)
{
    module.doc() = kModuleDoc;
    py::dict scope;
    scope["__builtins__"] = py::module_::import("builtins");
    scope["__name__"] = "lorvaxen";
    py::exec(kRefusedTextSource, scope);
    const py::object refusedText = scope["RefusedText"];
    module.attr("RefusedText") = refusedText;
    module.attr("__version__") = lorvaxen::versionText(Lorvaxen_version());
    lorvaxen::python::addMake(module, refusedText);
    lorvaxen::python::addVerify(module);
}
