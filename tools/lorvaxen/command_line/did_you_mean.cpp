// "Did you mean": finds the first option the tool does not have and the nearest one it has, by
// the edits that turn one name into the other.
#include "did_you_mean.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

#include "verify_command.h"

namespace lorvaxen::tool {
namespace {

// The optimal string alignment distance: edits of one character, or two swapped, each count one.
std::size_t editDistance(std::string_view a, std::string_view b)
{
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) {
        d[i][0] = i;
    }
    for (std::size_t j = 0; j <= b.size(); ++j) {
        d[0][j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[a.size()][b.size()];
}

} // namespace

std::optional<std::string> unknownOption(const CLI::App& app, int argc, const char* const* argv)
{
    const bool verify = argc > 1 && std::string_view(argv[1]) == kVerifyCommand;
    const CLI::App& command = verify ? *app.get_subcommand(std::string(kVerifyCommand)) : app;
    std::vector<std::string> longNames;
    std::vector<std::string> shortNames;
    for (const CLI::Option* option : command.get_options()) {
        for (const std::string& name : option->get_lnames()) {
            longNames.push_back("--" + name);
        }
        for (const std::string& name : option->get_snames()) {
            shortNames.push_back("-" + name);
        }
    }
    for (int i = verify ? 2 : 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") {
            break;
        }
        const bool isLong = arg.size() > 2 && arg.starts_with("--");
        const bool isShort = arg.size() >= 2 && arg[0] == '-' && std::isalpha(arg[1]) != 0;
        if (!isLong && !isShort) {
            continue;
        }
        const std::string name(isLong ? arg.substr(0, arg.find('=')) : arg.substr(0, 2));
        const auto& known = isLong ? longNames : shortNames;
        if (std::ranges::find(known, name) != known.end()) {
            continue;
        }
        std::string nearest;
        std::size_t best = std::max<std::size_t>(2, name.size() / 4) + 1;
        for (const std::string& candidate : longNames) {
            const std::size_t distance = editDistance(name, candidate);
            if (distance < best ||
                (nearest.empty() && candidate.starts_with(name) && name.size() > 3)) {
                best = distance;
                nearest = candidate;
            }
        }
        return "unknown option " + name +
               (nearest.empty() ? "" : "; did you mean " + nearest + "?");
    }
    return std::nullopt;
}

} // namespace lorvaxen::tool
