#include "log/live_values.h"

#include <algorithm>

#include "common/text_forms.h"

namespace veltrano {

void UpdateLiveViewValues(LiveViewValues& v, double carSpeed, double fuelTimeRate, double rpm,
                          double fuelTimeLength) {
    if (carSpeed > 0)
        v.TripFuelRate = (100 / carSpeed) * fuelTimeRate;
    if (fuelTimeLength > 0 && rpm > 0) {
        v.FazaUozInjTime = static_cast<int>(RoundHalfEven(rpm / 60 / 1000 * 360 * fuelTimeLength));
        v.FazaGenInjTime = std::clamp(v.FazaUozInjTime - 90, 180, 700);
    }
}

}  // namespace veltrano
