// What the table editors work on: the image and its layout, the current link object, the
// write-mode radios and the learning state a fuel-table edit resets.
#pragma once

#include <functional>
#include <string>

#include "calibration/firmware.h"
#include "calibration/firmware_layout.h"
#include "common/messages.h"
#include "common/text_forms.h"
#include "link/obdii.h"

namespace veltrano {

// A grid's selected rectangle of cells (column and row numbers, inclusive); it never holds the
// label row or column.
struct GridSelection {
    int left = 1;
    int top = 1;
    int right = 1;
    int bottom = 1;
};

// The write-mode radio buttons "OLT", "RAM PCN" and "RAM UOZ".
struct WriteModeRadios {
    bool RadioOlt = false;
    bool RadioRam = false;
    bool RadioRamUoz = false;
};

// Which write of the fuel table an edit requested.
enum class PcnRewrite { Olt, Ram };

// The learning state a fuel-table write request resets. The owner implements it over the
// learning cycle's state: Olt sets OltRewriteMark := 1, Ram sets RamRewriteMark := 1, and both
// set count_log := 0.
class PcnEditListener {
  public:
    virtual ~PcnEditListener() = default;
    virtual void PcnRewriteRequested(PcnRewrite kind) = 0;
};

struct EditContext {
    TFirmware* firmware = nullptr;
    FirmwareLayout* layout = nullptr;
    // The current link object; null until the first connection is made.
    TOBDII* link = nullptr;
    WriteModeRadios radios;
    PcnEditListener* learning = nullptr;
    Messages* messages = nullptr;  // silent when null
    char sep = DecimalSeparator();
    // The learning cycle's on-line smoothing of the link's fuel table (it also refreshes
    // SG_PCN); used by the table menu's "Сгладить таблицу" while the link runs.
    std::function<void()> SmoothPcnTable;

    // The link thread runs (LinkRunning for this link object).
    bool LinkActive() const { return link != nullptr && link->Running(); }
    bool FirmwareLoaded() const {
        return layout != nullptr && layout->FirmwareLoaded && firmware != nullptr;
    }
    void Warn(const std::string& text) const {
        if (messages != nullptr)
            messages->Warning(text);
    }
};

}  // namespace veltrano
