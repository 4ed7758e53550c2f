// The Live data record as one JSON object, fields named as in the record.
#pragma once

#include <string>

#include "link/live_record.h"

namespace veltrano {

std::string LiveRecordJson(const LiveRecord& r);

}  // namespace veltrano
