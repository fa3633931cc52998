#include "decoders.h"

#include <utility>

namespace lorvaxen::verifier::detail {

Decoded failure(Symbology symbology, std::string problem)
{
    Decoded decoded;
    decoded.symbology = symbology;
    decoded.problem = std::move(problem);
    return decoded;
}

std::string characterProblem(std::size_t character)
{
    return "character " + std::to_string(character + 1) + " matches no symbol character";
}

} // namespace lorvaxen::verifier::detail
