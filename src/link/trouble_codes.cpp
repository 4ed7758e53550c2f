#include "link/trouble_codes.h"

#include "link/trace_format.h"

namespace veltrano {

std::vector<std::string> ParseTroubleCodes(std::span<const std::uint8_t> D) {
    std::vector<std::string> codes;
    const int n = D.empty() ? 0 : D[0];
    if (n < 1 || n > 9)
        return codes;
    for (int k = 0; k < n; ++k) {
        const std::size_t at = 1 + 3 * static_cast<std::size_t>(k);
        if (at + 1 >= D.size())
            break;
        codes.push_back("P" + HexByte(D[at]) + HexByte(D[at + 1]));
    }
    return codes;
}

}  // namespace veltrano
