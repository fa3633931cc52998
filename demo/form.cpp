#include "form.h"

#include <string>

#include "declarations.h"

namespace mendova {
namespace {

// A message box given no title of its own shows the program's name.
constexpr char kProgramTitle[] = "Mendova";
constexpr char kResultTitle[] = "結果";
constexpr char kEnterText[] = "バーコード文字列を入れてください";
constexpr char kCreated[] = "作成に成功しました｡";
constexpr char kNotCreated[] = "＝＝＝作成に失敗しました｡＝＝＝";

// A dimension text that is not a number in the user's format: the field's caption and its text.
struct NotANumber
{
    std::string field;
    std::string text;
};

// What stops the loading of the form or a command halfway; the program goes on afterwards.
std::string describe(const NotANumber& error)
{
    return "「" + error.field + "」の「" + error.text + "」は数値ではありません｡";
}

std::string describe(const BindingError& error)
{
    std::string message = error.missing() == BindingError::Missing::File
                              ? "ライブラリ「" + error.file() + "」を読み込めません｡"
                              : "ライブラリ「" + error.file() + "」に関数「" + error.entryPoint() +
                                    "」が見つかりません｡";
    const std::string systemMessage = error.what();
    if (!systemMessage.empty()) {
        message += '\n' + systemMessage;
    }
    return message;
}

double readNumber(FormFace& face, Control box, Control label)
{
    const std::string text = face.text(box);
    const std::optional<double> value = face.readNumber(text);
    if (!value) {
        throw NotANumber{rowOf(label).caption, text};
    }
    return *value;
}

// The graphics objects of one generate command; each is released when the command ends.
struct GenerateRun
{
    HDC memory = nullptr;
    HBITMAP bitmap = nullptr; // the placeholder, then the library's bitmap
    HGDIOBJ kept = nullptr;   // what the library's bitmap replaced in the memory context
};

// The generate command from the choice of symbology to the message that ends it. A function
// that cannot be bound or a dimension that is not a number stops it where it stands.
void generate(FormFace& face, const std::string& text, GenerateRun& run)
{
    LateBound<BarcodeFunction>* barcode = &lorvaxen::BarCode_NW7;
    if (face.isSelected(Control::Option1)) {
        barcode = &lorvaxen::BarCode_JAN;
    } else if (face.isSelected(Control::Option2)) {
        barcode = &lorvaxen::BarCode_Code39;
    } else if (face.isSelected(Control::Option3)) {
        barcode = &lorvaxen::BarCode_I2of5;
    }
    // Five spaces and the text: one byte more than the longest framed text needs.
    std::string outputBuffer = "     " + text;

    face.clearPicture();
    run.memory = gdi32::CreateCompatibleDC(face.pictureDc());
    run.bitmap = gdi32::CreateCompatibleBitmap(run.memory, 0, 0); // the placeholder
    const double narrowMm = readNumber(face, Control::Text2, Control::Label2);
    const double heightMm = readNumber(face, Control::Text3, Control::Label3);
    const double ratio = readNumber(face, Control::Text4, Control::Label4);
    const int32_t checkFlag = face.checkState(Control::Check1) == 1 ? 1 : 0;

    // The library gets copies in the eight-bit code page. It folds the case of the text in place,
    // which Text1 never shows, and writes the framed text into the output buffer's copy.
    std::string textCopy = face.toAnsi(text);
    std::string outputCopy = face.toAnsi(outputBuffer);
    int32_t width = 0;
    int32_t height = 0;
    const int32_t result = (*barcode)(run.memory, &run.bitmap, textCopy.data(), &width, &height,
                                      outputCopy.data(), narrowMm, heightMm, ratio, checkFlag);
    // Up to the terminator the library wrote, not the whole buffer.
    outputBuffer = face.fromAnsi(outputCopy.data()); // NOLINT(readability-redundant-string-cstr)

    face.setText(Control::Text5, std::to_string(result));
    if (result != 0) {
        face.showMessage(kNotCreated, kResultTitle);
        return;
    }
    face.setText(Control::Text6, std::to_string(width));
    face.setText(Control::Text7, std::to_string(height));
    face.setText(Control::Text8, outputBuffer);
    run.kept = gdi32::SelectObject(run.memory, run.bitmap);
    gdi32::BitBlt(face.pictureDc(), kPictureOffset, kPictureOffset, width, height, run.memory, 0, 0,
                  SRCCOPY);
    face.showMessage(kCreated, kResultTitle);
}

// Once the command's message is dismissed: the kept bitmap back into the memory context, then
// the bitmap (the library's, or the placeholder) and the memory context go.
void release(FormFace& face, const GenerateRun& run)
{
    try {
        if (run.kept != nullptr) {
            gdi32::SelectObject(run.memory, run.kept);
        }
        if (run.bitmap != nullptr) {
            gdi32::DeleteObject(run.bitmap);
        }
        if (run.memory != nullptr) {
            gdi32::DeleteDC(run.memory);
        }
    } catch (const BindingError& error) {
        face.showMessage(describe(error), kProgramTitle);
    }
}

} // namespace

void Form_Load(FormFace& face)
{
    face.select(Control::Option2);
    face.setText(Control::Text1, {});
    face.setText(Control::Text2, face.formatNumber(0.33));
    face.setText(Control::Text3, face.formatNumber(6.35));
    face.setText(Control::Text4, face.formatNumber(2.5));
    for (Control output : {Control::Text5, Control::Text6, Control::Text7, Control::Text8}) {
        face.setText(output, {});
    }
    // The first call into the library, which loads it.
    try {
        face.setText(Control::Text9, face.formatNumber(lorvaxen::Lorvaxen_version() / 100.0));
    } catch (const BindingError& error) {
        face.showMessage(describe(error), kProgramTitle);
    }
}

void Command1_Click(FormFace& face)
{
    const std::string text = face.text(Control::Text1);
    if (text.empty()) {
        face.showMessage(kEnterText, kProgramTitle);
        return;
    }
    GenerateRun run;
    try {
        generate(face, text, run);
    } catch (const BindingError& error) {
        face.showMessage(describe(error), kProgramTitle);
    } catch (const NotANumber& error) {
        face.showMessage(describe(error), kProgramTitle);
    }
    release(face, run);
}

} // namespace mendova
