// Values computed only for the live view and the log: fuel per 100 km and the two
// injection angles. They keep their last value when a record cannot give a new one.
#pragma once

namespace veltrano {

struct LiveViewValues {
    double TripFuelRate = 0;  // l/100 km
    int FazaUozInjTime = 0;   // injection duration in crankshaft degrees
    int FazaGenInjTime = 0;   // FazaUozInjTime - 90, limited to 180..700
};

// Updates the values from vehicle speed (km/h), hourly consumption (l/h), engine speed
// (rpm) and injection time (ms).
void UpdateLiveViewValues(LiveViewValues& v, double carSpeed, double fuelTimeRate, double rpm,
                          double fuelTimeLength);

}  // namespace veltrano
