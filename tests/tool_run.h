// The lorvaxen command-line tool run as a user runs it, in a directory of its own, for the tests
// of its files, messages and exit status: the fixture, and the symbologies as the tests know them.
#pragma once

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <Lorvaxen.h>

#include "gdi_test.h"
#include "table_rows.h"
#include "tool_image_files.h"

namespace lorvaxen::test {

namespace fs = std::filesystem;

struct ToolRun
{
    int status = -1; // the exit status, or 128 + the signal that ended the tool
    std::string out;
    std::string err;
};

// A symbology as the tests know it: the tool's name for it, the decoder's, the library call, and
// the light margins in modules that the file must carry on each side.
struct Kind
{
    const char* name;
    const char* decoderFormat;
    LorvaxenBarcodeFunction* call;
    int leftModules;
    int rightModules;
};

inline int32_t jan(HDC hdc, HBITMAP* bitmap, char* text, int32_t* width, int32_t* height,
                   char* framed, double narrow, double barHeight, double ratio, int32_t check)
{
    return BarCode_JAN(hdc, bitmap, text, width, height, framed, narrow, barHeight, ratio, check);
}

inline int32_t itf(HDC hdc, HBITMAP* bitmap, char* text, int32_t* width, int32_t* height,
                   char* framed, double narrow, double barHeight, double ratio, int32_t check)
{
    return BarCode_I2of5(hdc, bitmap, text, width, height, framed, narrow, barHeight, ratio, check);
}

inline const Kind kCode39{"code39", "Code39", BarCode_Code39, 10, 10};
inline const Kind kJan{"jan", "EAN13", jan, 11, 7};
inline const Kind kItf{"itf", "ITF", itf, 10, 10};
inline const Kind kNw7{"nw7", "Codabar", BarCode_NW7, 10, 10};
inline const Kind kUpcA{"upca", "UPCA", jan, 9, 9};

// The name of a table row that has a `kind` and a `text`: both, as in "jan_490123456789".
inline const auto kindAndText = [](const auto& info) {
    return rowNameOf(info.param.kind.name, info.param.text);
};

// The library's own bitmap for a request, read straight through the C interface.
inline Pixels libraryPixels(const Kind& kind, std::string text, int dpi, double narrowMm,
                            double heightMm, double ratio = 2.5)
{
    const ReferenceDc device(dpi);
    OwnedBitmap bitmap;
    std::string framed(text.size() + 4, '\0');
    int32_t width = 0;
    int32_t height = 0;
    EXPECT_EQ(kind.call(device, bitmap.out(), text.data(), &width, &height, framed.data(), narrowMm,
                        heightMm, ratio, 0),
              0);
    return readPixels(bitmap.get());
}

// What a command writes on its standard output; its standard error is dropped.
inline std::string commandOutput(const std::string& command)
{
    std::FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    std::string text;
    char buffer[256];
    while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        text += buffer;
    }
    if (pipe != nullptr) {
        pclose(pipe);
    }
    return text;
}

// The value of one field of a flat JSON object, a string's without its quotes.
inline std::string jsonField(const std::string& json, const std::string& name)
{
    const std::string key = "\"" + name + "\":";
    auto at = json.find(key);
    if (at == std::string::npos) {
        return "<no " + name + ">";
    }
    at += key.size();
    if (json[at] != '"') {
        return json.substr(at, json.find_first_of(",}", at) - at);
    }
    auto end = at + 1;
    while (end < json.size() && json[end] != '"') {
        end += json[end] == '\\' ? 2 : 1;
    }
    return json.substr(at + 1, end - at - 1);
}

class Tool : public GdiTest
{
  protected:
    void SetUp() override
    {
        GdiTest::SetUp();
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        // A parameterised test's name holds a slash before its row's name.
        std::string name = test->name();
        std::replace(name.begin(), name.end(), '/', '-');
        root_ =
            fs::temp_directory_path() / ("lorvaxen-tool-" + name + "-" + std::to_string(getpid()));
        fs::remove_all(root_);
        fs::create_directories(dir());
    }
    void TearDown() override
    {
        fs::remove_all(root_);
        GdiTest::TearDown();
    }

    // The directory the tool runs in; nothing else is ever in it.
    fs::path dir() const { return root_ / "work"; }

    std::vector<std::string> files() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    // Starts the tool in dir() with `input` on its standard input and its standard output into
    // `outFile`, which must exist (a device such as /dev/full: it is never created), or a file of
    // its own when empty.
    pid_t startTool(const std::vector<std::string>& args, const std::string& input = "",
                    const fs::path& outFile = {}) const
    {
        const fs::path in = root_ / "stdin";
        const fs::path out = outFile.empty() ? root_ / "stdout" : outFile;
        const fs::path err = root_ / "stderr";
        std::ofstream(in, std::ios::binary) << input;
        std::vector<std::string> argv{LORVAXEN_TOOL};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> pointers;
        pointers.reserve(argv.size() + 1);
        for (std::string& arg : argv) {
            pointers.push_back(arg.data());
        }
        pointers.push_back(nullptr);
        const std::string workDir = dir().string();

        const pid_t child = fork();
        if (child == 0) {
            const int inFd = open(in.c_str(), O_RDONLY);
            const int outFd = outFile.empty()
                                  ? open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644)
                                  : open(out.c_str(), O_WRONLY);
            const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (inFd < 0 || outFd < 0 || errFd < 0 || chdir(workDir.c_str()) != 0 ||
                dup2(inFd, 0) < 0 || dup2(outFd, 1) < 0 || dup2(errFd, 2) < 0) {
                _exit(127);
            }
            execv(pointers[0], pointers.data());
            _exit(127);
        }
        return child;
    }

    ToolRun finishTool(pid_t child) const
    {
        ToolRun result;
        int status = 0;
        if (child > 0 && waitpid(child, &status, 0) == child) {
            result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        result.out = readText(root_ / "stdout");
        result.err = readText(root_ / "stderr");
        return result;
    }

    ToolRun runTool(const std::vector<std::string>& args, const std::string& input = "",
                    const fs::path& outFile = {}) const
    {
        return finishTool(startTool(args, input, outFile));
    }

  private:
    fs::path root_;
};

} // namespace lorvaxen::test
