// The window's grids as a core model, and how an open fills them.
#pragma once

#include "calibration/firmware.h"
#include "calibration/firmware_layout.h"
#include "calibration/text_grid.h"

namespace veltrano {

// Every grid the calibration fills, by the window's names, as the window holds them after it
// is created (fixed labels and captions set; RzStringGrid5 and RzStringGrid8 disabled).
struct CalibrationGrids {
    CalibrationGrids();

    TextGrid SG_PCN{17, 17};
    TextGrid SG_PCN_TRT{17, 17};
    TextGrid SG_PCN_32{33, 33};
    TextGrid SG_PCN_32x32{33, 33};
    TextGrid SG_BCN{17, 17};
    TextGrid SG_UOZ{17, 18};  // row 17: the ignition generator's base curve
    TextGrid SG_AFR{17, 17};
    TextGrid SG_RT{17, 17};          // live view; only labels come from here
    TextGrid RzStringGrid2{17, 17};  // "ШДК Коэфф"; only labels come from here
    TextGrid RzStringGrid1{16, 2};   // dynamic injector correction by battery voltage
    TextGrid RzStringGrid3{2, 1};    // injector static flow
    TextGrid RzStringGrid4{39, 2};   // idle mixture by coolant temperature
    TextGrid RzStringGrid5{39, 2};   // idle valve position by coolant temperature
    TextGrid RzStringGrid6{39, 2};   // idle speed by coolant temperature
    TextGrid RzStringGrid7{2, 1};    // cylinder volume
    TextGrid RzStringGrid8{2, 1};    // launch speed
    TextGrid SG_Min_Inj_Time{2, 1};  // minimum injection time

    // Tabs the open shows; all hidden at creation.
    bool ShowPcnTrtTab = false;       // "PCN - TRT"
    bool ShowPcn32Tab = false;        // "PCN_32"
    bool ShowPcnDad32x32Tab = false;  // "Pcn_dad_32x32"
    bool ShowLearnTrtOption = false;  // check box "Обучать RPM - TRT (PCN)"
};

// Coolant-temperature axis: -40, -35, ... 150 (39 points).
int CoolantAxisPoint(int k);
// Battery-voltage axis: 5.6, 6.4, ... 17.6 (16 points).
double BatteryAxisPoint(int k);

// False for address 0: the layout does not know where that table lies.
bool TableAddressKnown(std::uint16_t startAddr);

// The open's last step: fills the grids and the axes from the image, in the window's order.
// May set StartAddrInjStatic/InjStaticBytes in the layout as the open does.
void FillGridsAtOpen(TFirmware& firmware, FirmwareLayout& layout, CalibrationGrids& grids,
                     char sep);

}  // namespace veltrano
