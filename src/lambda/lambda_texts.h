// The reader's own texts: sensor type names, the error prefix and the gauge log's name.
#pragma once

namespace veltrano::lambda_texts {

inline constexpr const char* kSensorLc1 = "LC-1/2";
inline constexpr const char* kSensorAem = "AEM";
inline constexpr const char* kErrorPrefix = "Error  ";
inline constexpr const char* kAemLogName = "LogAEM.txt";

}  // namespace veltrano::lambda_texts
