// File names for a batch, from a template with the line number, its text or both:
// "label-%04d.png", "%s.svg", "%s-%d.png".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lorvaxen::tool {

// A checked template. The user's text never reaches printf as a format: it is split into the
// text before and after its one conversion, and only the conversion, rebuilt from characters
// checked one by one, is handed to snprintf.
class NameTemplate
{
  public:
    // Accepts "%%" for a percent sign, at most one number conversion
    // "%[flags][width][.precision]d" (or i, u), with flags from "-+ 0" and width and precision of
    // at most three digits each, and at most one "%s"; one of the two at least.
    static std::optional<NameTemplate> parse(std::string_view text, std::string* problem);

    // The name for line `number` whose text is `text` (made safe for a file name, and never
    // starting with '-' where it starts the file's name).
    std::string name(int number, std::string_view text) const;

    // Whether the names hold the line number, and so are all different.
    bool numbered() const;
    // Whether the names hold the text.
    bool named() const;

  private:
    struct Piece
    {
        enum Kind { Literal, Number, Text } kind;
        std::string text; // the literal, or the conversion: "%04d" and the like, never other
    };
    std::vector<Piece> pieces_;
};

// A text made safe for a file name in the current directory: letters, digits, '-' and '_' as
// they are, anything else '_', at most 64 characters; "barcode" for an empty one.
std::string safeFileStem(std::string_view text);

// The same for the start of a file's name, where a leading '-' would make the name read as an
// option to the commands that are given it ("-rf.png" to rm *): a '_' goes before it.
std::string safeLeadingStem(std::string_view text);

} // namespace lorvaxen::tool
