// Mendovae, the form of the demonstration program, apart from any toolkit: its controls with
// their captions, places and focus order, its messages, and the steps of its two event handlers.
// A face (the Qt window on Linux, the Win32 window on Windows) makes the controls from the table
// and moves values in and out of them; everything the form does is written here once.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include <windows.h>

namespace mendova {

// The controls, in the order of their tab indexes, which is the focus order.
enum class Control : uint8_t {
    Frame1,
    Option1,
    Option2,
    Option3,
    Option4,
    Text1,
    Label1,
    Text2,
    Text3,
    Text4,
    Label2,
    Label3,
    Label4,
    Frame2,
    Text5,
    Check1,
    Label5,
    Text6,
    Text7,
    Text8,
    Label6,
    Label7,
    Command1,
    Command2,
    Text9,
    Label8,
    Label9,
    Picture1,
};

enum class Kind : uint8_t { Frame, OptionButton, Label, TextBox, CheckBox, CommandButton, Picture };

struct ControlRow
{
    Control id;
    const char* name;
    Kind kind;
    std::optional<Control> container; // a frame, or none for the form itself
    const char* caption;              // UTF-8; empty for controls without one
    int left;                         // twips, from the container's top-left corner
    int top;
    int width;
    int height;
    bool display = false; // a text box that only shows what the form writes
};

inline constexpr std::array<ControlRow, 28> kControls{{
    {Control::Frame1, "Frame1", Kind::Frame, {}, "設定項目", 240, 240, 7935, 2175},
    {Control::Option1, "Option1", Kind::OptionButton, Control::Frame1, "JAN", 360, 240, 1455, 255},
    {Control::Option2, "Option2", Kind::OptionButton, Control::Frame1, "CODE39", 360, 600, 1215,
     180},
    {Control::Option3, "Option3", Kind::OptionButton, Control::Frame1, "Interleaved 2 of 5", 360,
     960, 1815, 180},
    {Control::Option4, "Option4", Kind::OptionButton, Control::Frame1, "NW7", 360, 1320, 1335, 180},
    {Control::Text1, "Text1", Kind::TextBox, Control::Frame1, "", 4560, 360, 3015, 375},
    {Control::Label1, "Label1", Kind::Label, Control::Frame1, "バーコード文字列", 3000, 480, 1455,
     255},
    {Control::Text2, "Text2", Kind::TextBox, Control::Frame1, "", 3720, 960, 1215, 375},
    {Control::Text3, "Text3", Kind::TextBox, Control::Frame1, "", 6480, 960, 1095, 375},
    {Control::Text4, "Text4", Kind::TextBox, Control::Frame1, "", 3720, 1560, 1215, 375},
    {Control::Label2, "Label2", Kind::Label, Control::Frame1, "最小幅（mm）", 2400, 1080, 1215,
     255},
    {Control::Label3, "Label3", Kind::Label, Control::Frame1, "高さ（mm）", 5400, 1080, 975, 255},
    {Control::Label4, "Label4", Kind::Label, Control::Frame1, "狭・広比", 2400, 1680, 855, 255},
    {Control::Frame2, "Frame2", Kind::Frame, {}, "実行結果", 240, 2760, 7935, 1695},
    {Control::Text5, "Text5", Kind::TextBox, Control::Frame2, "", 1200, 360, 1095, 375, true},
    {Control::Check1, "Check1", Kind::CheckBox, Control::Frame1, "チェックデジット", 5400, 1680,
     1815, 255},
    {Control::Label5, "Label5", Kind::Label, Control::Frame2, "エラーコード", 120, 480, 1335, 255},
    {Control::Text6, "Text6", Kind::TextBox, Control::Frame2, "", 3840, 360, 855, 390, true},
    {Control::Text7, "Text7", Kind::TextBox, Control::Frame2, "", 6600, 360, 975, 375, true},
    {Control::Text8, "Text8", Kind::TextBox, Control::Frame2, "", 2400, 960, 2775, 375, true},
    {Control::Label6, "Label6", Kind::Label, Control::Frame2, "幅（ピクセル）", 2640, 480, 1215,
     255},
    {Control::Label7, "Label7", Kind::Label, Control::Frame2, "高さ（ピクセル）", 5040, 480, 1335,
     255},
    {Control::Command1, "Command1", Kind::CommandButton, {}, "OK", 8400, 3120, 1455, 375},
    {Control::Command2, "Command2", Kind::CommandButton, {}, "Cansel", 8400, 3960, 1455, 375},
    {Control::Text9, "Text9", Kind::TextBox, {}, "", 9000, 2280, 735, 375, true},
    {Control::Label8, "Label8", Kind::Label, Control::Frame2, "バーコード文字列（作成後）", 120,
     1080, 2295, 255},
    {Control::Label9, "Label9", Kind::Label, {}, "Version", 8280, 2400, 735, 255},
    {Control::Picture1, "Picture1", Kind::Picture, {}, "", 360, 4560, 9495, 2175},
}};

constexpr const ControlRow& rowOf(Control control)
{
    return kControls.at(static_cast<std::size_t>(control));
}

constexpr bool tableFollowsTheEnumeration()
{
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        if (static_cast<std::size_t>(kControls.at(i).id) != i) {
            return false;
        }
    }
    return true;
}
static_assert(tableFollowsTheEnumeration());

inline constexpr char kFormCaption[] = "Mendovae";
inline constexpr int kFormWidth = 9975; // the client area, in twips
inline constexpr int kFormHeight = 6915;
inline constexpr int kPictureOffset = 10; // the barcode's corner, in pixels from the drawing area's

// The identifier of a control's window on Windows, by which a program finds it in the form.
constexpr int controlId(Control control)
{
    return 100 + static_cast<int>(control);
}

// Twips (1/1440 inch) to pixels at a resolution in dots per inch, truncated.
constexpr int pixels(int twips, int dpi)
{
    return twips * dpi / 1440;
}

// What the form asks of its toolkit. Texts are UTF-8.
class FormFace
{
  public:
    FormFace() = default;
    FormFace(const FormFace&) = delete;
    FormFace& operator=(const FormFace&) = delete;
    virtual ~FormFace() = default;

    virtual std::string text(Control box) = 0;
    virtual void setText(Control box, const std::string& text) = 0;
    virtual bool isSelected(Control option) = 0;
    virtual void select(Control option) = 0;
    virtual int checkState(Control box) = 0; // 0 not ticked, 1 ticked, 2 greyed
    // Picture1: fill the drawing area with its background colour; its device context.
    virtual void clearPicture() = 0;
    virtual HDC pictureDc() = 0;
    // A modal box with the prompt, the title and an OK button only.
    virtual void showMessage(const std::string& prompt, const std::string& title) = 0;
    // Decimal numbers in the user's number format; a text that is not one gives nothing.
    virtual std::string formatNumber(double value) = 0;
    virtual std::optional<double> readNumber(const std::string& text) = 0;
    // Texts in the system's eight-bit (ANSI) code page, as the library takes them, and back.
    virtual std::string toAnsi(const std::string& text) = 0;
    virtual std::string fromAnsi(const std::string& text) = 0;
};

// The form's event handlers, named after control and event. Form_Load runs once, before the form
// is first shown; Command1_Click each time Command1 is clicked. A library file or function that
// cannot be bound, or a dimension that is not a number, is named in a message box, and the
// program goes on.
void Form_Load(FormFace& face);
void Command1_Click(FormFace& face);

} // namespace mendova
