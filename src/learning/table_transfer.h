// Table transfers between the grids, the image and the link's buffers, and the actions of
// the learning controls ("Применить изменения", "Обучать RPM - TRT (PCN)").
#pragma once

#include <optional>
#include <vector>

#include "calibration/calibration_grids.h"
#include "calibration/firmware.h"
#include "calibration/firmware_layout.h"
#include "calibration/table_catalogue.h"
#include "learning/learning_link.h"
#include "learning/learning_options.h"

namespace veltrano {

// Grid -> buffer. A cell whose text is unchanged gives the byte it was decoded from; an
// edited cell is converted and rounded (ties to even), clamped to 0..255. On a cell that
// does not hold a number nothing is stored and the cell is returned.
std::optional<CellError> StorePcnTable(const TextGrid& SG_PCN, LinkTables& t, char sep);
std::optional<CellError> StoreAfrTable(const TextGrid& SG_AFR, LinkTables& t, char sep);
std::optional<CellError> StoreUozTable(const TextGrid& SG_UOZ, LinkTables& t, char sep);
std::optional<CellError> StoreBcnTable(const TextGrid& SG_BCN, LinkTables& t, int bcnMultiplier,
                                       char sep);

// Image -> buffers and the layout's table addresses (only with an image loaded; for "J7ES"
// also the 32x32 PCN and the 39-byte table at 0x8C27), then clears the firmware write
// requests. The one loading operation of every connect, in the window and the command line.
void LoadLinkTables(const TFirmware& firmware, const FirmwareLayout& layout, LearningLink& link);

// Page indices of the left tab area.
inline constexpr int kPageBCN = 0;
inline constexpr int kPagePCN = 1;
inline constexpr int kPageAFR = 2;
inline constexpr int kPageUOZ = 3;
inline constexpr int kPageDATA = 6;

struct ApplyInputs {
    int page = 0;
    bool firmwareLoaded = false;
    bool flagDadUozAfr = false;
    WriteTarget target = WriteTarget::None;
    int bcnMultiplier = 1;
    char sep = ',';
};

struct ApplyResult {
    std::vector<LinkRequest> raised;
    std::optional<CellError> error;  // a table not sent because of this cell
};

// "Применить изменения" for the active page. Without a link object (no connection made,
// or the last one failed) nothing is requested.
ApplyResult ApplyChanges(const ApplyInputs& in, const CalibrationGrids& grids, LearningLink* link);

// "Обучать RPM - TRT (PCN)": checked learns the throttle-indexed PCN, unchecked the
// pressure-indexed one. Refills SG_PCN and the row labels of SG_PCN and RzStringGrid2; when
// connected also reloads the link's buffers and addresses. The caller hands the new layout
// to the learning engine afterwards.
void SwitchPcnTable(bool checked, TFirmware& firmware, FirmwareLayout& layout,
                    CalibrationGrids& grids, bool ecuConnected, LearningLink* link, char sep);

}  // namespace veltrano
