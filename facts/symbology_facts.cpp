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

// ITF-14's bearer bars (GS1 General Specifications): 4.8 mm thick at the nominal 1.016 mm module,
// and never thinner than two narrow bars; the tool keeps that proportion at any module.
constexpr double kItfBearerModules = 4.8 / 1.016;
// ITF-14 (GS1 General Specifications): a module from 0.495 mm to the nominal 1.016 mm, bars at
// least 31.75 mm high whatever the module, ten modules of light margin on each side, and wide
// elements of 2.25 to 3.0 narrow ones.
constexpr double kItf14ModuleMm = 1.016;
constexpr double kItf14LeastModuleMm = 0.495;

// Code 39 (ISO/IEC 16388) and Interleaved 2 of 5 (ISO/IEC 16390) ask for wide elements of at
// least 2.2 narrow ones when the module is under 0.50 mm, where print growth eats the ratio.
constexpr SmallModuleRatio kSmallModuleRatio{.belowModuleMm = 0.50, .minRatio = 2.2};
// Code 39's gaps between characters (ISO/IEC 16388): at most 5.3 modules, or, for a module of
// 0.254 mm or more, the wider of 3 modules and 1.35 mm.
constexpr CharacterGapRule kCode39Gaps{
    .mostModules = 5.3, .largeModuleMm = 0.254, .largeMostModules = 3.0, .largeMostMm = 1.35};
constexpr std::string_view kCode39Characters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%*";

// Light margins: eleven modules before and seven after an EAN-13 symbol (ISO/IEC 15420), nine on
// each side of a UPC-A one, ten on each side of Code 39 (ISO/IEC 16388), Interleaved 2 of 5
// (ISO/IEC 16390) and NW7.
// An EAN-13 symbol's nominal module is 0.33 mm, allowed from 80% to 200% of it, and its nominal
// bars are 22.85 mm high; UPC-A shares them. The others name no nominal size: their bars default
// to 6.35 mm. Code 39 and Interleaved 2 of 5 allow wide elements of 2.0 to 3.0 narrow ones, and so
// do NW7 readers.
constexpr std::array kFacts{
    SymbologyFacts{.symbology = Symbology::Jan,
                   .name = "jan",
                   .title = "JAN",
                   .aliases = kJanAliases,
                   .leftQuietModules = 11,
                   .rightQuietModules = 7,
                   .nominalModuleMm = 0.33,
                   .minModuleShare = 0.8,
                   .maxModuleShare = 2.0,
                   .defaultHeightMm = 22.85,
                   .textHeightModules = 7.0,
                   .textLayout = TextLayout::Ean,
                   .characters = kDigits,
                   .textSlots = kEanSlots,
                   .longBars = kEanGuards},
    SymbologyFacts{.symbology = Symbology::Code39,
                   .name = "code39",
                   .title = "Code 39",
                   .aliases = kCode39Aliases,
                   .leftQuietModules = 10,
                   .rightQuietModules = 10,
                   .minRatio = 2.0,
                   .maxRatio = 3.0,
                   .smallModuleRatio = kSmallModuleRatio,
                   .defaultHeightMm = 6.35,
                   .textHeightModules = 7.5,
                   .textLayout = TextLayout::Centred,
                   .characters = kCode39Characters,
                   .characterGap = kCode39Gaps},
    SymbologyFacts{.symbology = Symbology::I2of5,
                   .name = "itf",
                   .title = "Interleaved 2 of 5",
                   .aliases = kItfAliases,
                   .leftQuietModules = 10,
                   .rightQuietModules = 10,
                   .minRatio = 2.0,
                   .maxRatio = 3.0,
                   .smallModuleRatio = kSmallModuleRatio,
                   .defaultHeightMm = 6.35,
                   .textHeightModules = 7.5,
                   .textLayout = TextLayout::Centred,
                   .characters = kDigits,
                   .bearerModules = kItfBearerModules},
    SymbologyFacts{.symbology = Symbology::Nw7,
                   .name = "nw7",
                   .title = "NW7",
                   .leftQuietModules = 10,
                   .rightQuietModules = 10,
                   .minRatio = 2.0,
                   .maxRatio = 3.0,
                   .defaultHeightMm = 6.35,
                   .textHeightModules = 7.5,
                   .textLayout = TextLayout::Centred,
                   .characters = "0123456789-$:/.+ABCDTNOE"},
    SymbologyFacts{.symbology = Symbology::Jan,
                   .name = "upca",
                   .title = "UPC-A",
                   .aliases = kUpcAAliases,
                   .leftQuietModules = 9,
                   .rightQuietModules = 9,
                   .nominalModuleMm = 0.33,
                   .minModuleShare = 0.8,
                   .maxModuleShare = 2.0,
                   .defaultHeightMm = 22.85,
                   .textHeightModules = 7.0,
                   .textLayout = TextLayout::UpcA,
                   .characters = kDigits,
                   .textSlots = kUpcASlots,
                   .longBars = kUpcALongBars},
    // Its least ratio of 2.25 holds at any module, and for any Interleaved 2 of 5 symbol of
    // fourteen digits, which is read as an ITF-14.
    SymbologyFacts{.symbology = Symbology::I2of5,
                   .name = "itf14",
                   .title = "ITF-14",
                   .aliases = kItf14Aliases,
                   .leftQuietModules = 10,
                   .rightQuietModules = 10,
                   .nominalModuleMm = kItf14ModuleMm,
                   .minModuleShare = kItf14LeastModuleMm / kItf14ModuleMm,
                   .maxModuleShare = 1.0,
                   .minRatio = 2.25,
                   .maxRatio = 3.0,
                   .smallModuleRatio = kSmallModuleRatio,
                   .framedLength = 14,
                   .defaultHeightMm = 31.75,
                   .textHeightModules = 7.5,
                   .textLayout = TextLayout::Centred,
                   .characters = kDigits,
                   .bearerModules = kItfBearerModules},
    // Codabar draws NW7's bars, with any start and stop and the check character readers verify;
    // T, N, * and E name its start and stop characters A to D.
    SymbologyFacts{.symbology = Symbology::Nw7,
                   .name = "codabar",
                   .title = "Codabar",
                   .leftQuietModules = 10,
                   .rightQuietModules = 10,
                   .minRatio = 2.0,
                   .maxRatio = 3.0,
                   .defaultHeightMm = 6.35,
                   .textHeightModules = 7.5,
                   .textLayout = TextLayout::Centred,
                   .characters = "0123456789-$:/.+ABCDTN*E"},
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

// The symbologies tried on a symbol of unknown symbology, the strictest frame first, so that a
// symbol is never taken for one whose decoder asks less of it: JAN's 59 elements with one-module
// guard bars and a check digit; Code 39's start and stop asterisks and three wide elements in every
// character; NW7's start and stop letters a to d; and last Interleaved 2 of 5, whose four narrow
// elements and short stop frame any number of digit pairs, with no check digit required.
constexpr std::array kRecognitionOrder{Symbology::Jan, Symbology::Code39, Symbology::Nw7,
                                       Symbology::I2of5};
static_assert(
    [] {
        std::array<bool, kSymbologies> tried{};
        for (const Symbology symbology : kRecognitionOrder) {
            const auto index = static_cast<std::size_t>(symbology);
            if (index >= kSymbologies || tried[index]) {
                return false;
            }
            tried[index] = true;
        }
        return kRecognitionOrder.size() == kSymbologies;
    }(),
    "every symbology is tried, once");

// The face of `symbology` that a framed text of `length` characters is, if any (ITF-14).
const SymbologyFacts* faceOfLength(Symbology symbology, std::size_t length)
{
    if (length == 0) {
        return nullptr;
    }
    const auto* const face = std::ranges::find_if(kFacts, [&](const SymbologyFacts& facts) {
        return facts.symbology == symbology && facts.framedLength == length;
    });
    return face == kFacts.end() ? nullptr : face;
}

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
    double least = facts.minRatio;
    if (const SymbologyFacts* face = faceOfLength(facts.symbology, framedLength)) {
        least = std::max(least, face->minRatio);
    }
    const SmallModuleRatio& small = facts.smallModuleRatio;
    if (small.belowModuleMm > 0 && moduleMm > 0 && moduleMm < small.belowModuleMm) {
        least = std::max(least, small.minRatio);
    }
    return least;
}

std::optional<double> mostCharacterGapModules(const SymbologyFacts& facts, double moduleMm)
{
    const CharacterGapRule& gap = facts.characterGap;
    if (gap.mostModules <= 0) {
        return std::nullopt;
    }
    if (gap.largeModuleMm > 0 && moduleMm >= gap.largeModuleMm) {
        return std::max(gap.largeMostModules, gap.largeMostMm / moduleMm);
    }
    return gap.mostModules;
}

std::span<const Symbology> recognitionOrder()
{
    return kRecognitionOrder;
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
