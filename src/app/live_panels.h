// The live view's values as texts: which panel shows what, in which form and colour.
#pragma once

#include <string>
#include <vector>

#include "link/live_record.h"

namespace veltrano {

// View values that keep their last value between records and across reconnects.
struct LiveViewState {
    double TripFuelRate = 0;
    int FazaUozInjTime = 0;
    int FazaGenInjTime = 0;
    bool RamStatusShown = false;
};

struct PanelText {
    const char* panel;  // the panel's object name
    std::string text;
};

struct LiveValuesView {
    std::vector<PanelText> panels;  // in the order the view fills them
    bool injDutyRed = false;        // "Inj duty" background red
    bool knockRed = false;          // "АЦП ДД" background red
    std::string dkZone;             // LDK_ZONE
    std::string dkReady;            // Label19
};

// Step A for one record; updates the trip fuel rate and the injection angles in `state`.
LiveValuesView LiveValues(const LiveRecord& rec, LiveViewState& state, char sep);

// The caption shown beside each panel, by panel name ("" when the panel has none).
struct PanelCaption {
    const char* panel;
    const char* caption;
};
// DIAG tab, in the order they are laid out.
const std::vector<PanelCaption>& DiagValuePanels();
const std::vector<PanelCaption>& DiagFlagPanels();
// "Настройка" tab.
const std::vector<PanelCaption>& TuningPanels();

}  // namespace veltrano
