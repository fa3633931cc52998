// Mendova on Windows: the form's controls as standard Win32 controls, with the form's handlers
// behind them. Every control is a child of the form, those of a frame placed within it; each
// control's identifier is controlId() of its place in the table.
#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "form.h"
#include "form_geometry.h"
#include "win32_code_pages.h"
#include "win32_decimal_marks.h"
#include "win32_form_font.h"

namespace mendova {
namespace {

constexpr wchar_t kFormClass[] = L"Mendovae";
constexpr wchar_t kPictureClass[] = L"MendovaPicture";

// The window class and styles of each kind of control.
struct WindowKind
{
    const wchar_t* windowClass;
    DWORD style;
    DWORD extendedStyle;
};

WindowKind windowKind(const ControlRow& control)
{
    switch (control.kind) {
    case Kind::Frame:
        return {L"BUTTON", BS_GROUPBOX, 0};
    case Kind::OptionButton:
        return {L"BUTTON", BS_AUTORADIOBUTTON | WS_TABSTOP, 0};
    case Kind::Label:
        return {L"STATIC", SS_LEFTNOWORDWRAP, 0};
    case Kind::TextBox:
        return {
            L"EDIT",
            static_cast<DWORD>(ES_AUTOHSCROLL | WS_TABSTOP | (control.display ? ES_READONLY : 0)),
            WS_EX_CLIENTEDGE};
    case Kind::CheckBox:
        return {L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    case Kind::CommandButton:
        return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case Kind::Picture:
        return {kPictureClass, WS_TABSTOP, WS_EX_CLIENTEDGE};
    }
    return {};
}

// Twips become pixels at the screen's resolution on each axis.
FormGeometry screenGeometry()
{
    HDC screen = GetDC(nullptr);
    const FormGeometry geometry(GetDeviceCaps(screen, LOGPIXELSX),
                                GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    return geometry;
}

// The form: its controls, and Picture1's drawing surface, which keeps what is drawn on it for
// every repaint.
class Mendovae : public FormFace
{
  public:
    Mendovae() = default;
    Mendovae(const Mendovae&) = delete;
    Mendovae& operator=(const Mendovae&) = delete;
    ~Mendovae() override;

    bool create(HINSTANCE instance);
    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void paintPicture(HWND picture);
    HWND window() const { return form_; }

  private:
    HWND control(Control id) const { return controls_.at(static_cast<std::size_t>(id)); }
    void makeSurface();

    std::string text(Control box) override;
    void setText(Control box, const std::string& text) override;
    bool isSelected(Control option) override;
    void select(Control option) override;
    int checkState(Control box) override;
    void clearPicture() override;
    HDC pictureDc() override;
    void showMessage(const std::string& prompt, const std::string& title) override;
    std::string formatNumber(double value) override;
    std::optional<double> readNumber(const std::string& text) override;
    std::string toAnsi(const std::string& text) override;
    std::string fromAnsi(const std::string& text) override;

    HWND form_ = nullptr;
    std::array<HWND, kControls.size()> controls_{};
    HFONT font_ = nullptr;
    const FormGeometry geometry_ = screenGeometry();
    HDC surface_ = nullptr;
    HBITMAP surfaceBitmap_ = nullptr;
    SIZE surfaceSize_{};
};

Mendovae* theForm = nullptr; // the program's one form, for its window procedures

LRESULT CALLBACK formProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return theForm->handle(window, message, wParam, lParam);
}

LRESULT CALLBACK pictureProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        theForm->paintPicture(window);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool Mendovae::create(HINSTANCE instance)
{
    WNDCLASSW formClass{};
    formClass.lpfnWndProc = formProcedure;
    formClass.hInstance = instance;
    formClass.hCursor = LoadCursorW(nullptr, IDC_ARROW); // NOLINT: the system's macro
    formClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    formClass.lpszClassName = kFormClass;
    WNDCLASSW pictureClass = formClass;
    pictureClass.lpfnWndProc = pictureProcedure;
    pictureClass.hbrBackground = nullptr; // the surface covers it all
    pictureClass.lpszClassName = kPictureClass;
    if (RegisterClassW(&formClass) == 0 || RegisterClassW(&pictureClass) == 0) {
        return false;
    }

    font_ = makeFormFont(geometry_.fontHeight());

    constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW;
    const SIZE size = geometry_.client();
    RECT frame{0, 0, size.cx, size.cy};
    AdjustWindowRectEx(&frame, kFormStyle, FALSE, 0);
    form_ = CreateWindowExW(0, kFormClass, wide(kFormCaption).c_str(), kFormStyle, CW_USEDEFAULT,
                            CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                            nullptr, nullptr, instance, nullptr);
    if (form_ == nullptr) {
        return false;
    }
    // Created in the order of the tab indexes, which the dialog keys follow. The option buttons
    // are one group; every other control starts a group of its own.
    for (const ControlRow& row : kControls) {
        const RECT place = geometry_.place(row.id);
        const WindowKind kind = windowKind(row);
        const bool joinsGroup = row.kind == Kind::OptionButton && row.id != Control::Option1;
        HWND made = CreateWindowExW(
            kind.extendedStyle, kind.windowClass, wide(row.caption).c_str(),
            kind.style | WS_CHILD | WS_VISIBLE | (joinsGroup ? 0 : WS_GROUP), place.left, place.top,
            place.right - place.left, place.bottom - place.top, form_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId(row.id))), // NOLINT
            instance, nullptr);
        if (made == nullptr) {
            return false;
        }
        SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE); // NOLINT
        controls_.at(static_cast<std::size_t>(row.id)) = made;
    }
    makeSurface();
    return true;
}

Mendovae::~Mendovae()
{
    if (surface_ != nullptr) {
        DeleteDC(surface_);
    }
    if (surfaceBitmap_ != nullptr) {
        DeleteObject(surfaceBitmap_);
    }
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
}

LRESULT Mendovae::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == controlId(Control::Command1) && HIWORD(wParam) == BN_CLICKED) {
            Command1_Click(*this);
        }
        return 0; // Command2 and the other controls do nothing of their own
    case WM_CTLCOLORSTATIC: {
        // Labels, frames, option buttons and the display fields on the form's own colour.
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE)); // NOLINT
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));     // NOLINT
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// A surface the size of the picture's drawing area, compatible with the screen.
void Mendovae::makeSurface()
{
    RECT area{};
    GetClientRect(control(Control::Picture1), &area);
    surfaceSize_ = {std::max(1L, area.right), std::max(1L, area.bottom)};
    HDC screen = GetDC(nullptr);
    surface_ = CreateCompatibleDC(screen);
    surfaceBitmap_ = CreateCompatibleBitmap(screen, surfaceSize_.cx, surfaceSize_.cy);
    ReleaseDC(nullptr, screen);
    SelectObject(surface_, surfaceBitmap_);
    clearPicture();
}

void Mendovae::paintPicture(HWND picture)
{
    PAINTSTRUCT paint;
    HDC target = BeginPaint(picture, &paint);
    BitBlt(target, 0, 0, surfaceSize_.cx, surfaceSize_.cy, surface_, 0, 0, SRCCOPY);
    EndPaint(picture, &paint);
}

std::string Mendovae::text(Control box)
{
    HWND window = control(box);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return narrow(text);
}

void Mendovae::setText(Control box, const std::string& text)
{
    SetWindowTextW(control(box), wide(text).c_str());
}

bool Mendovae::isSelected(Control option)
{
    return SendMessageW(control(option), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Mendovae::select(Control option)
{
    CheckRadioButton(form_, controlId(Control::Option1), controlId(Control::Option4),
                     controlId(option));
}

int Mendovae::checkState(Control box)
{
    // BST_UNCHECKED, BST_CHECKED and BST_INDETERMINATE are 0, 1 and 2.
    return static_cast<int>(SendMessageW(control(box), BM_GETCHECK, 0, 0));
}

void Mendovae::clearPicture()
{
    const RECT all{0, 0, surfaceSize_.cx, surfaceSize_.cy};
    FillRect(surface_, &all, GetSysColorBrush(COLOR_WINDOW));
    InvalidateRect(control(Control::Picture1), nullptr, FALSE);
}

// The bars of a monochrome bitmap copied here take the text colour, its spaces the background.
HDC Mendovae::pictureDc()
{
    SetTextColor(surface_, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(surface_, GetSysColor(COLOR_WINDOW));
    InvalidateRect(control(Control::Picture1), nullptr, FALSE); // whoever asks may draw
    return surface_;
}

void Mendovae::showMessage(const std::string& prompt, const std::string& title)
{
    MessageBoxW(form_, wide(prompt).c_str(), wide(title).c_str(), MB_OK);
}

std::string Mendovae::formatNumber(double value)
{
    return formatLocalNumber(value);
}

std::optional<double> Mendovae::readNumber(const std::string& text)
{
    return readLocalNumber(text);
}

std::string Mendovae::toAnsi(const std::string& text)
{
    return narrow(wide(text), CP_ACP);
}

std::string Mendovae::fromAnsi(const std::string& text)
{
    return narrow(wide(text, CP_ACP));
}

} // namespace
} // namespace mendova

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int show)
{
    // Twips are converted at the screen's real resolution, not at a scaled 96 dots per inch.
    SetProcessDPIAware();
    mendova::Mendovae form;
    mendova::theForm = &form;
    if (!form.create(instance)) {
        return 1;
    }
    mendova::Form_Load(form);
    ShowWindow(form.window(), show);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(form.window(), &message) == FALSE) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
