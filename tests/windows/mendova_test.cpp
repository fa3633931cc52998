// Mendova.exe as its user meets it: the real program started beside Lorvaxen.dll, its form found
// on the screen, driven through window messages, its message boxes answered, and its fields and
// picture read back. With LORVAXEN_SCREENSHOT naming a file, the form after a Code 39 run is saved
// there as a BMP picture.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <Lorvaxen.h>
#include <gtest/gtest.h>

#include "bound_library.h"
#include "form.h"
#include "form_geometry.h"

namespace mendova::test {
namespace {

std::wstring folderOfThisProgram()
{
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

// Waits up to `tries` twentieths of a second for `found` to give something other than null.
template <class Find> auto waitFor(Find found, int tries = 200)
{
    for (int tried = 0; tried < tries; ++tried) {
        if (auto result = found()) {
            return result;
        }
        Sleep(50);
    }
    return decltype(found())();
}

struct Message
{
    std::wstring title;
    std::wstring text;
};

// The pixels of a window's client area as they stand on the screen, top row first.
struct Picture
{
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;

    bool allOf(COLORREF colour) const
    {
        return std::all_of(pixels.begin(), pixels.end(),
                           [colour](COLORREF pixel) { return pixel == colour; });
    }
};

// The pixels of a window's client area as they stand on the screen.
Picture capture(HWND window)
{
    RECT area{};
    GetClientRect(window, &area);
    POINT corner{0, 0};
    ClientToScreen(window, &corner);
    Picture picture{area.right, area.bottom, {}};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof(BITMAPINFOHEADER), picture.width, -picture.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP copy = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ kept = SelectObject(memory, copy);
    BitBlt(memory, 0, 0, picture.width, picture.height, screen, corner.x, corner.y, SRCCOPY);
    GdiFlush();
    const auto* bgrx = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < picture.width * picture.height; ++i) {
        const uint32_t pixel = bgrx[i];
        picture.pixels.push_back(RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF));
    }
    SelectObject(memory, kept);
    DeleteObject(copy);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return picture;
}

class RunningForm
{
  public:
    // Starts the program and waits for its form; the message boxes that open as the form loads
    // are answered with OK and noted in `loadMessages` when given.
    explicit RunningForm(const std::wstring& program = folderOfThisProgram() + L"Mendova.exe",
                         std::vector<Message>* loadMessages = nullptr)
    {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (CreateProcessW(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &process_) == FALSE) {
            ADD_FAILURE() << "Mendova.exe did not start: error " << GetLastError();
            return;
        }
        WaitForInputIdle(process_.hProcess, 10000);
        if (loadMessages != nullptr) {
            *loadMessages = answerMessages();
        }
        form_ = waitFor([this] { return ownWindow(L"Mendovae", L"Mendovae"); });
        EXPECT_NE(form_, nullptr) << "no window Mendovae";
    }
    RunningForm(const RunningForm&) = delete;
    RunningForm& operator=(const RunningForm&) = delete;
    ~RunningForm()
    {
        if (process_.hProcess == nullptr) {
            return;
        }
        PostMessageW(form_, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0) {
            ADD_FAILURE() << "Mendova did not end when its form was closed";
            TerminateProcess(process_.hProcess, 1);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }

    bool open() const { return form_ != nullptr; }
    HWND window() const { return form_; }
    HWND control(Control id) const { return GetDlgItem(form_, controlId(id)); }

    std::wstring text(Control id) const
    {
        std::wstring text(256, L'\0');
        text.resize(static_cast<std::size_t>(SendMessageW(control(id), WM_GETTEXT, text.size(),
                                                          reinterpret_cast<LPARAM>(text.data()))));
        return text;
    }
    void setText(Control id, const std::wstring& text) const
    {
        SendMessageW(control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    void click(Control button) const { SendMessageW(control(button), BM_CLICK, 0, 0); }

    // Clicks a command button whose handler may open message boxes, and answers each with OK.
    std::vector<Message> clickAnswering(Control button) const
    {
        PostMessageW(control(button), BM_CLICK, 0, 0);
        return answerMessages();
    }

  private:
    std::vector<Message> answerMessages() const
    {
        std::vector<Message> seen;
        // The first box may take a while; another one follows at once if at all.
        int tries = 200;
        while (HWND box = waitFor([this] { return ownWindow(L"#32770", nullptr); }, tries)) {
            std::wstring title(256, L'\0');
            title.resize(static_cast<std::size_t>(GetWindowTextW(box, title.data(), 256)));
            std::wstring text(1024, L'\0');
            text.resize(GetDlgItemTextW(box, 0xFFFF, text.data(), 1024)); // the prompt's static
            seen.push_back({title, text});
            PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
            waitFor([box] { return IsWindow(box) == FALSE; });
            tries = 10;
        }
        return seen;
    }

    // A visible top-level window of the program's with that class and caption (any when null).
    HWND ownWindow(const wchar_t* windowClass, const wchar_t* caption) const
    {
        HWND window = nullptr;
        while ((window = FindWindowExW(nullptr, window, windowClass, caption)) != nullptr) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == process_.dwProcessId && IsWindowVisible(window) != FALSE) {
                return window;
            }
        }
        return static_cast<HWND>(nullptr);
    }

    PROCESS_INFORMATION process_{};
    HWND form_ = nullptr;
};

// What the library itself makes of a JAN at the screen's resolution.
struct Symbol
{
    int32_t width = 0;
    int32_t height = 0;
};

// Lorvaxen.dll, bound by name as the program binds it (bound_library.cpp).
Symbol janAtScreenResolution(const char* digits)
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    std::string text = digits;
    std::string framed(text.size() + 4, '\0');
    Symbol symbol;
    HBITMAP bitmap = nullptr;
    if (BarCode_JAN(memory, &bitmap, text.data(), &symbol.width, &symbol.height, framed.data(),
                    0.33, 6.35, 2.5, 0) == 0) {
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return symbol;
}

const std::wstring kResultTitle = L"結果";
const std::wstring kCreated = L"作成に成功しました｡";
const std::wstring kNotCreated = L"＝＝＝作成に失敗しました｡＝＝＝";

std::wstring wide(const char* utf8)
{
    std::wstring text(std::strlen(utf8), L'\0');
    text.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, utf8, -1, text.data(), static_cast<int>(text.size()) + 1) -
        1));
    return text;
}

std::array<LONG, 4> edges(const RECT& rectangle)
{
    return {rectangle.left, rectangle.top, rectangle.right, rectangle.bottom};
}

// The form's geometry on screens whose two axes differ, which Wine cannot give the program
// itself: across follows the horizontal resolution, down the vertical one, a frame's controls
// placed within it.
TEST(Mendova, GeometryFollowsEachAxisResolution)
{
    struct Screen
    {
        int dpiX;
        int dpiY;
        int fontHeight; // nine points at dpiY
    };
    for (const Screen screen : {Screen{96, 144, -18}, Screen{144, 96, -12}}) {
        SCOPED_TRACE(std::to_string(screen.dpiX) + " x " + std::to_string(screen.dpiY));
        const FormGeometry geometry(screen.dpiX, screen.dpiY);
        for (const ControlRow& control : kControls) {
            SCOPED_TRACE(control.name);
            const ControlRow* frame = control.container ? &rowOf(*control.container) : nullptr;
            const int left = (frame != nullptr ? pixels(frame->left, screen.dpiX) : 0) +
                             pixels(control.left, screen.dpiX);
            const int top = (frame != nullptr ? pixels(frame->top, screen.dpiY) : 0) +
                            pixels(control.top, screen.dpiY);
            EXPECT_EQ(edges(geometry.place(control.id)),
                      edges({left, top, left + pixels(control.width, screen.dpiX),
                             top + pixels(control.height, screen.dpiY)}));
        }
        EXPECT_EQ(geometry.client().cx, pixels(kFormWidth, screen.dpiX));
        EXPECT_EQ(geometry.client().cy, pixels(kFormHeight, screen.dpiY));
        EXPECT_EQ(geometry.fontHeight(), screen.fontHeight);
    }
}

// Every control of the table: its caption, its place in the form's geometry at the screen's
// resolution, and whether it takes typing.
TEST(Mendova, ControlsHaveTheirCaptionsPlacesAndDisplayFields)
{
    const RunningForm form;
    ASSERT_TRUE(form.open());
    HDC screen = GetDC(nullptr);
    const FormGeometry geometry(GetDeviceCaps(screen, LOGPIXELSX),
                                GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    for (const ControlRow& control : kControls) {
        SCOPED_TRACE(control.name);
        HWND window = form.control(control.id);
        ASSERT_NE(window, nullptr);
        if (control.kind != Kind::TextBox) {
            EXPECT_EQ(form.text(control.id), wide(control.caption));
        }
        const bool readOnly = (GetWindowLongW(window, GWL_STYLE) & ES_READONLY) != 0;
        EXPECT_EQ(control.kind == Kind::TextBox && readOnly, control.display);
        RECT place{};
        GetWindowRect(window, &place);
        MapWindowPoints(nullptr, form.window(), reinterpret_cast<POINT*>(&place), 2); // NOLINT
        EXPECT_EQ(edges(place), edges(geometry.place(control.id)));
    }
    RECT client{};
    GetClientRect(form.window(), &client);
    EXPECT_EQ(client.right, geometry.client().cx);
    EXPECT_EQ(client.bottom, geometry.client().cy);
}

TEST(Mendova, JanSucceedsThenFiveDigitsFailKeepingIt)
{
    const RunningForm form;
    ASSERT_TRUE(form.open());
    EXPECT_EQ(form.text(Control::Text2), L"0.33");
    EXPECT_EQ(form.text(Control::Text9), L"0.9");

    form.click(Control::Option1);
    form.setText(Control::Text1, L"490123456789");
    auto messages = form.clickAnswering(Control::Command1);
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0].title, kResultTitle);
    EXPECT_EQ(messages[0].text, kCreated);
    const Symbol expected = janAtScreenResolution("490123456789");
    ASSERT_GT(expected.width, 0);
    const std::vector<std::wstring> success{L"0", std::to_wstring(expected.width),
                                            std::to_wstring(expected.height), L"4901234567894"};
    EXPECT_EQ((std::vector{form.text(Control::Text5), form.text(Control::Text6),
                           form.text(Control::Text7), form.text(Control::Text8)}),
              success);
    EXPECT_FALSE(capture(form.control(Control::Picture1)).allOf(GetSysColor(COLOR_WINDOW)));

    form.setText(Control::Text1, L"12345");
    messages = form.clickAnswering(Control::Command1);
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0].title, kResultTitle);
    EXPECT_EQ(messages[0].text, kNotCreated);
    EXPECT_EQ((std::vector{form.text(Control::Text5), form.text(Control::Text6),
                           form.text(Control::Text7), form.text(Control::Text8)}),
              (std::vector<std::wstring>{L"-11", success[1], success[2], success[3]}));
    EXPECT_TRUE(capture(form.control(Control::Picture1)).allOf(GetSysColor(COLOR_WINDOW)));
}

TEST(Mendova, Code39RunForThePicture)
{
    const RunningForm form;
    ASSERT_TRUE(form.open());
    form.setText(Control::Text1, L"abc");
    const auto messages = form.clickAnswering(Control::Command1);
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0].text, kCreated);
    EXPECT_EQ(form.text(Control::Text8), L"*ABC*");
    EXPECT_EQ(form.text(Control::Text1), L"abc");
    const char* file = std::getenv("LORVAXEN_SCREENSHOT"); // NOLINT(concurrency-mt-unsafe)
    if (file == nullptr) {
        return;
    }
    // The form's client area, as a 32-bit BMP file.
    const Picture picture = capture(form.window());
    BITMAPINFOHEADER header{
        sizeof header, picture.width, -picture.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    BITMAPFILEHEADER fileHeader{0x4D42, 0, 0, 0, sizeof fileHeader + sizeof header};
    fileHeader.bfSize = fileHeader.bfOffBits + static_cast<DWORD>(picture.pixels.size() * 4);
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&fileHeader), sizeof fileHeader); // NOLINT
    out.write(reinterpret_cast<const char*>(&header), sizeof header);         // NOLINT
    for (const COLORREF pixel : picture.pixels) {
        const std::array<char, 4> bgrx{static_cast<char>(GetBValue(pixel)),
                                       static_cast<char>(GetGValue(pixel)),
                                       static_cast<char>(GetRValue(pixel)), 0};
        out.write(bgrx.data(), bgrx.size());
    }
    EXPECT_TRUE(out.good()) << file;
}

// Without Lorvaxen.dll beside it, the form names the file as it loads and opens all the same.
TEST(Mendova, OpensWithoutTheLibraryAndSaysSo)
{
    const std::wstring folder = folderOfThisProgram() + L"without-library\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_NE(CopyFileW((folderOfThisProgram() + L"Mendova.exe").c_str(),
                        (folder + L"Mendova.exe").c_str(), FALSE),
              FALSE);
    std::vector<Message> messages;
    const RunningForm form(folder + L"Mendova.exe", &messages);
    ASSERT_TRUE(form.open());
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0].title, L"Mendova");
    EXPECT_EQ(messages[0].text.substr(0, messages[0].text.find(L'\n')),
              L"ライブラリ「Lorvaxen.dll」を読み込めません｡");
    EXPECT_EQ(form.text(Control::Text2), L"0.33");
    EXPECT_EQ(form.text(Control::Text9), L"");
}

// The version resource in Japanese, with these fields and no others.
TEST(Mendova, VersionResource)
{
    const std::wstring program = folderOfThisProgram() + L"Mendova.exe";
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &ignored);
    ASSERT_GT(size, 0U);
    std::vector<char> block(size);
    ASSERT_NE(GetFileVersionInfoW(program.c_str(), 0, size, block.data()), FALSE);

    void* value = nullptr;
    UINT length = 0;
    ASSERT_NE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length), FALSE);
    ASSERT_EQ(length, 4U);
    const auto* translation = static_cast<const WORD*>(value);
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 0x04B0);

    const auto field = [&block](const wchar_t* name) -> std::wstring {
        void* text = nullptr;
        UINT characters = 0;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
        if (VerQueryValueW(block.data(), path.c_str(), &text, &characters) == FALSE ||
            text == nullptr) {
            return L"(none)";
        }
        return static_cast<const wchar_t*>(text);
    };
    EXPECT_EQ(field(L"FileVersion"), L"1.00");
    EXPECT_EQ(field(L"ProductVersion"), L"1.00");
    EXPECT_EQ(field(L"ProductName"), L"Mendova");
    EXPECT_EQ(field(L"InternalName"), L"Mendova");
    EXPECT_EQ(field(L"OriginalFilename"), L"Mendova.exe");
    for (const wchar_t* invented : {L"CompanyName", L"LegalCopyright", L"FileDescription"}) {
        EXPECT_EQ(field(invented), L"(none)") << invented;
    }
}

} // namespace
} // namespace mendova::test
