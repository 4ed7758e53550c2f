#include "lambda/lc1_decode.h"

#include <string>

#include "lambda/lambda_texts.h"

namespace veltrano {
namespace {

constexpr double kPetrolStoich = 14.7;
constexpr double kMaxAfr = 21.0;
constexpr double kMinAfr = 10.0;

// Two decimals at most, rounded as the mask "##0.##" shows them.
double Round2(double x) {
    return ParseNumber(FormatMask("##0.##", x, '.'), '.').value_or(x);
}

void SetAfr(LambdaReading& r, double afr, char sep) {
    r.AFR = afr;
    r.Message_LC1 = GeneralText(afr, sep);
    r.lc = true;
}

}  // namespace

int LC1Function(std::span<const std::uint8_t, 4> data) {
    return (data[0] >> 2) & 7;
}

int LC1Value(std::span<const std::uint8_t, 4> data) {
    return (data[2] & 0x7F) * 128 + (data[3] & 0x7F);
}

bool DecodeLC1Data(std::span<const std::uint8_t, 4> data, LambdaReading& r, char sep) {
    const int value = LC1Value(data);
    switch (LC1Function(data)) {
        case 0: {
            const int multiplier = (data[0] & 1) * 128 + (data[1] & 0x7F);
            const double lambda = (value + 500) / 1000.0;
            double afr = Round2(lambda * kPetrolStoich);
            r.stochiometric = multiplier / 10.0;
            if (afr > kMaxAfr)
                afr = kMaxAfr;
            if (afr < kMinAfr)
                afr = kMinAfr;
            SetAfr(r, afr, sep);
            return true;
        }
        case 1: {
            double afr = Round2(value / 10.0);
            if (afr > kMaxAfr)
                afr = kMaxAfr;
            SetAfr(r, afr, sep);
            return true;
        }
        case 6:
            r.Message_LC1 = std::string(lambda_texts::kErrorPrefix) + std::to_string(value);
            r.lc = false;
            return true;
        default:
            return false;
    }
}

}  // namespace veltrano
