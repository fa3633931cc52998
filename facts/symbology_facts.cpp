#include <lorvaxen/symbology_facts.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>

namespace lorvaxen {
namespace {

constexpr std::array<std::string_view, 5> kJanAliases{"ean13", "ean-13", "jan13", "jan-13", "ean"};
constexpr std::array<std::string_view, 2> kUpcAAliases{"upc-a", "upc"};
constexpr std::array<std::string_view, 3> kCode39Aliases{"code-39", "code_39", "c39"};
constexpr std::array<std::string_view, 3> kItfAliases{"i2of5", "i-2-of-5", "interleaved2of5"};
constexpr std::array<std::string_view, 1> kItf14Aliases{"itf-14"};
constexpr std::array<std::string_view, 0> kNoAliases{};

constexpr std::string_view kDigits = "0123456789";

// EAN-13 in modules from the start of the symbol (ISO/IEC 15420): the start guard (0 to 3), six
// symbol characters of seven modules, the centre guard (45 to 50), six more, and the end guard
// (92 to 95). The leading digit stands in the light margin a module clear of the start guard; a
// UPC-A's first and last digits, smaller, stand outside the guards, their symbol characters'
// bars reaching down with the guards'.
constexpr int kLeftHalfModule = 3;
constexpr int kRightHalfModule = 50;
constexpr int kCharacterModules = 7;

// The slots of the digits under an EAN-13's halves, from `skip` characters into the left half
// to `skip` characters short of the end of the right, between an outer slot on each side.
template <std::size_t N>
constexpr std::array<TextSlot, N> eanSlots(int skip, TextSlot first, std::optional<TextSlot> last)
{
    std::array<TextSlot, N> slots{};
    std::size_t at = 0;
    slots[at++] = first;
    for (int c = skip; c < 6; ++c) {
        slots[at++] = {static_cast<double>(kLeftHalfModule + kCharacterModules * c), 1};
    }
    for (int c = 0; c < 6 - skip; ++c) {
        slots[at++] = {static_cast<double>(kRightHalfModule + kCharacterModules * c), 1};
    }
    if (last) {
        slots[at++] = *last;
    }
    return slots;
}
constexpr auto kEanSlots = eanSlots<13>(0, {-8, 1}, std::nullopt);
constexpr auto kUpcASlots = eanSlots<12>(1, {-8, 0.75}, TextSlot{96, 0.75});
constexpr std::array<ModuleRange, 3> kEanGuards{{{0, 3}, {45, 50}, {92, 95}}};
constexpr std::array<ModuleRange, 5> kUpcALongBars{{{0, 3}, {3, 10}, {45, 50}, {85, 92}, {92, 95}}};
constexpr std::span<const TextSlot> kNoSlots{};
constexpr std::span<const ModuleRange> kNoLongBars{};

// ITF-14's bearer bars (GS1 General Specifications): 4.8 mm thick at the nominal 1.016 mm module,
// and never thinner than two narrow bars; the tool keeps that proportion at any module.
constexpr double kItfBearerModules = 4.8 / 1.016;
// ITF-14 (GS1 General Specifications): a module from 0.495 mm to the nominal 1.016 mm, bars at
// least 31.75 mm high whatever the module, ten modules of light margin on each side, and wide
// elements of 2.25 to 3.0 narrow ones.
constexpr double kItf14ModuleMm = 1.016;
constexpr double kItf14LeastModuleMm = 0.495;

// Light margins: eleven modules before and seven after an EAN-13 symbol (ISO/IEC 15420), nine on
// each side of a UPC-A one, ten on each side of Code 39 (ISO/IEC 16388), Interleaved 2 of 5
// (ISO/IEC 16390) and NW7.
// An EAN-13 symbol's nominal module is 0.33 mm, allowed from 80% to 200% of it, and its nominal
// bars are 22.85 mm high; UPC-A shares them. The others name no nominal size: their bars default
// to 6.35 mm. Code 39 and Interleaved 2 of 5 allow wide elements of 2.0 to 3.0 narrow ones, and so
// do NW7 readers.
constexpr std::array kFacts{
    SymbologyFacts{Symbology::Jan, "jan", "JAN", kJanAliases, 11, 7, 0.33, 0.8, 2.0, 0, 0, 22.85,
                   7.0, TextLayout::Ean, kDigits, 0, kEanSlots, kEanGuards},
    SymbologyFacts{Symbology::Code39, "code39", "Code 39", kCode39Aliases, 10, 10, 0, 0, 0, 2.0,
                   3.0, 6.35, 7.5, TextLayout::Centred,
                   "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%*", 0, kNoSlots, kNoLongBars},
    SymbologyFacts{Symbology::I2of5, "itf", "Interleaved 2 of 5", kItfAliases, 10, 10, 0, 0, 0, 2.0,
                   3.0, 6.35, 7.5, TextLayout::Centred, kDigits, kItfBearerModules, kNoSlots,
                   kNoLongBars},
    SymbologyFacts{Symbology::Nw7, "nw7", "NW7", kNoAliases, 10, 10, 0, 0, 0, 2.0, 3.0, 6.35, 7.5,
                   TextLayout::Centred, "0123456789-$:/.+ABCDTNOE", 0, kNoSlots, kNoLongBars},
    SymbologyFacts{Symbology::Jan, "upca", "UPC-A", kUpcAAliases, 9, 9, 0.33, 0.8, 2.0, 0, 0, 22.85,
                   7.0, TextLayout::UpcA, kDigits, 0, kUpcASlots, kUpcALongBars},
    SymbologyFacts{Symbology::I2of5, "itf14", "ITF-14", kItf14Aliases, 10, 10, kItf14ModuleMm,
                   kItf14LeastModuleMm / kItf14ModuleMm, 1.0, 2.25, 3.0, 31.75, 7.5,
                   TextLayout::Centred, kDigits, kItfBearerModules, kNoSlots, kNoLongBars},
    // Codabar draws NW7's bars, with any start and stop and the check character readers verify;
    // T, N, * and E name its start and stop characters A to D.
    SymbologyFacts{Symbology::Nw7, "codabar", "Codabar", kNoAliases, 10, 10, 0, 0, 0, 2.0, 3.0,
                   6.35, 7.5, TextLayout::Centred, "0123456789-$:/.+ABCDTN*E", 0, kNoSlots,
                   kNoLongBars},
};
constexpr std::size_t kSymbologies = 4;
static_assert(
    [] {
        for (std::size_t i = 0; i < kSymbologies; ++i) {
            if (static_cast<std::size_t>(kFacts[i].symbology) != i) {
                return false;
            }
        }
        return true;
    }(),
    "the first rows are in the order of the enumeration");

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

} // namespace

std::span<const SymbologyFacts> allSymbologyFacts()
{
    return kFacts;
}

const SymbologyFacts& factsOf(Symbology symbology)
{
    return kFacts[static_cast<std::size_t>(symbology)];
}

double minRatioAt(const SymbologyFacts& facts, double moduleMm, std::size_t framedLength)
{
    // ITF-14 (GS1 General Specifications), the fourteen digits of a trade item's number in
    // Interleaved 2 of 5, asks for wide elements of at least 2.25 narrow ones at any module.
    constexpr std::size_t kItf14Digits = 14;
    constexpr double kItf14MinRatio = 2.25;
    if (facts.symbology == Symbology::I2of5 && framedLength == kItf14Digits) {
        return std::max(facts.minRatio, kItf14MinRatio);
    }
    // Code 39 (ISO/IEC 16388) and Interleaved 2 of 5 (ISO/IEC 16390) ask for wide elements of at
    // least 2.2 narrow ones when the module is under 0.50 mm, where print growth eats the ratio.
    constexpr double kSmallModuleMm = 0.50;
    constexpr double kSmallModuleMinRatio = 2.2;
    const bool smallModuleRule =
        facts.symbology == Symbology::Code39 || facts.symbology == Symbology::I2of5;
    if (smallModuleRule && moduleMm > 0 && moduleMm < kSmallModuleMm) {
        return std::max(facts.minRatio, kSmallModuleMinRatio);
    }
    return facts.minRatio;
}

const SymbologyFacts* findSymbologyFacts(std::string_view name)
{
    for (const SymbologyFacts& facts : kFacts) {
        if (sameIgnoringCase(facts.name, name) ||
            std::ranges::any_of(facts.aliases, [name](std::string_view alias) {
                return sameIgnoringCase(alias, name);
            })) {
            return &facts;
        }
    }
    return nullptr;
}

char gtinCheckDigit(std::string_view digits)
{
    // From the right, the digits weigh 3, 1, 3, ...; the check brings the sum to a multiple of 10.
    int sum = 0;
    int weight = 3;
    for (std::size_t i = digits.size(); i-- > 0;) {
        sum += (digits[i] - '0') * weight;
        weight = 4 - weight;
    }
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

} // namespace lorvaxen
