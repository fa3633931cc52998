// File names for a batch, from a template with one integer conversion: "label-%04d.png".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lorvaxen::tool {

// A checked template. The user's text never reaches printf as a format: it is split into the
// text before and after its one conversion, and only the conversion, rebuilt from characters
// checked one by one, is handed to snprintf.
class NameTemplate
{
  public:
    // Accepts "%%" for a percent sign and exactly one conversion "%[flags][width][.precision]d"
    // (or i, u), with flags from "-+ 0" and width and precision of at most three digits each.
    static std::optional<NameTemplate> parse(std::string_view text, std::string* problem);

    std::string name(int number) const;

  private:
    std::string prefix_;
    std::string conversion_; // "%04d" and the like, never anything else
    std::string suffix_;
};

} // namespace lorvaxen::tool
