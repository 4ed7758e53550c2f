// Opening and saving a firmware image as the window's toolbar does, without the dialogs.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "calibration/calibration_grids.h"
#include "calibration/firmware.h"
#include "calibration/firmware_layout.h"
#include "common/messages.h"

namespace veltrano {

// The current image with its layout and its grids.
struct Calibration {
    TFirmware firmware;
    FirmwareLayout layout;
    CalibrationGrids grids;
};

// Reads, identifies, derives the layout and fills the grids, each open starting from a clean
// layout and fresh grids. On false `current` is left as it was.
bool OpenCalibration(const std::string& path, Messages& messages, Calibration& current, char sep);
// The same from bytes in memory (the demo mode, tests).
bool OpenCalibrationBytes(std::vector<std::uint8_t> bytes, Messages& messages, Calibration& current,
                          char sep);

// Save steps before the dialog: encodes SG_PCN, SG_BCN, SG_UOZ (and SG_PCN_32x32 for "J7ES"
// with FlagPcnDad32x32) into the image, every cell as its CellByte, then corrects the checksum.
// Every grid is checked first: a non-numeric cell gives a warning and leaves the image untouched
// (false). A table whose address the layout left at 0 is not written back. Does nothing when no
// image is loaded.
bool EncodeGridsForSave(Calibration& current, Messages& messages, char sep);

// Writes the bytes to a temporary file beside `path` and renames it over `path`; on failure a
// warning is shown, the target is untouched and false returned.
bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                         Messages& messages);

// EncodeGridsForSave, then WriteFileAtomically of the whole image.
bool SaveCalibration(Calibration& current, const std::string& path, Messages& messages, char sep);

}  // namespace veltrano
