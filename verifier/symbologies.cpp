#include "symbologies.h"

#include <algorithm>
#include <optional>
#include <string>

#include "decoders.h"

namespace lorvaxen::verifier {

Decoded decodeAs(Symbology symbology, std::span<const double> widths, bool upcA)
{
    Decoded decoded;
    switch (symbology) {
    case Symbology::Jan:
        decoded = detail::decodeJan(widths);
        break;
    case Symbology::Code39:
        decoded = detail::decodeCode39(widths);
        break;
    case Symbology::I2of5:
        decoded = detail::decodeI2of5(widths);
        break;
    case Symbology::Nw7:
        decoded = detail::decodeNw7(widths);
        break;
    }
    const SymbologyFacts& facts = factsOf(symbology);
    decoded.leftQuietModules = facts.leftQuietModules;
    decoded.rightQuietModules = facts.rightQuietModules;
    if (symbology != Symbology::Jan || !decoded.ok) {
        return decoded;
    }
    const SymbologyFacts& upcAFacts = *findSymbologyFacts("upca");
    if (decoded.text.front() == '0') {
        decoded.leftQuietModules = std::min(facts.leftQuietModules, upcAFacts.leftQuietModules);
        decoded.rightQuietModules = std::min(facts.rightQuietModules, upcAFacts.rightQuietModules);
    }
    if (upcA) {
        if (decoded.text.front() != '0') {
            return detail::failure(Symbology::Jan, "leading digit " + decoded.text.substr(0, 1) +
                                                       ": a UPC-A's is 0");
        }
        decoded.leftQuietModules = upcAFacts.leftQuietModules;
        decoded.rightQuietModules = upcAFacts.rightQuietModules;
        // Read as a UPC-A, as its readers return it: its twelve digits, without the EAN-13's 0.
        decoded.text.erase(0, 1);
    }
    return decoded;
}

std::string symbologyRulesProblem(const Decoded& decoded, double moduleMm)
{
    const SymbologyFacts& facts = factsOf(decoded.symbology);
    std::string problem;
    const double minRatio = minRatioAt(facts, moduleMm);
    if (facts.maxRatio > 0 && (decoded.ratio < minRatio || decoded.ratio > facts.maxRatio)) {
        problem = "wide-to-narrow ratio " + std::to_string(decoded.ratio).substr(0, 4) +
                  " outside " + std::to_string(minRatio).substr(0, 3) + " to " +
                  std::to_string(facts.maxRatio).substr(0, 3);
    }
    const std::optional<double> most = mostCharacterGapModules(facts, moduleMm);
    if (most && decoded.largestGapModules > *most) {
        problem += (problem.empty() ? "" : "; ") + std::string("a gap between characters of ") +
                   std::to_string(decoded.largestGapModules).substr(0, 4) + " modules, over the " +
                   std::to_string(*most).substr(0, 4) + " allowed";
    }
    return problem;
}

} // namespace lorvaxen::verifier