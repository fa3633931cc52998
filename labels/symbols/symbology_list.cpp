// The symbologies labels are made of: the library's four, each with its standard's facts and the
// library's code for a character it does not take, found by name or alias.
#include <vector>

#include "barcode.h"

namespace lorvaxen {
namespace {

SymbologyInfo infoOf(const SymbologyFacts& facts)
{
    switch (facts.symbology) {
    case Symbology::Jan:
        return {facts, LORVAXEN_JAN_CHARSET};
    case Symbology::Code39:
        return {facts, LORVAXEN_CODE39_CHARSET};
    case Symbology::I2of5:
        return {facts, LORVAXEN_I2OF5_CHARSET};
    case Symbology::Nw7:
        return {facts, LORVAXEN_NW7_CHARSET};
    }
    return {facts, 0};
}

const std::vector<SymbologyInfo>& symbologyList()
{
    static const std::vector<SymbologyInfo> list = [] {
        std::vector<SymbologyInfo> infos;
        for (const SymbologyFacts& facts : allSymbologyFacts()) {
            infos.push_back(infoOf(facts));
        }
        return infos;
    }();
    return list;
}

} // namespace

std::span<const SymbologyInfo> symbologies()
{
    return symbologyList();
}

const SymbologyInfo* findSymbology(std::string_view name)
{
    const SymbologyFacts* facts = findSymbologyFacts(name);
    return facts == nullptr
               ? nullptr
               : &symbologyList()[static_cast<std::size_t>(facts - allSymbologyFacts().data())];
}

} // namespace lorvaxen
