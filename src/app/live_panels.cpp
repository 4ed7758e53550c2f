#include "app/live_panels.h"

#include <algorithm>
#include <cmath>

#include "app/app_texts.h"
#include "common/text_forms.h"

namespace veltrano {

LiveValuesView LiveValues(const LiveRecord& r, LiveViewState& s, char sep) {
    LiveValuesView v;
    auto general = [&](const char* panel, double x) {
        v.panels.push_back({panel, GeneralText(x, sep)});
    };
    auto integer = [&](const char* panel, long long x) {
        v.panels.push_back({panel, IntegerText(x)});
    };
    general("TWAT_PANEL", r.FsensorCoolantTemp);
    general("AFR_PANEL", r.FsensorAirFuelRatio);
    general("TPS_panel", r.FsensorThrottlePosition);
    general("RPM_panel", r.FsensorCrankshaftSpeed);
    general("RzPanel8", r.FsensorCrankshaftSpeed);
    general("RzPanel26", r.FsensorThrottlePosition);
    general("RzPanel31", r.FsensorPressure);
    general("RzPanel2", r.FsensorCoolantTemp);
    general("RPM_XX_panel", r.FsensorCrankshaftIdleSpeed);
    general("RXX_firm_panel", r.FsensorIdleWantPosition);
    general("RXX_panel", r.FsensorIdleRealPosition);
    general("Panel5", r.FsensorIdleRealPosition);
    general("coeff_panel", r.FsensorFuelTimeCorrection);
    general("uoz_panel", r.FsensorSparkAngle);
    general("speed_panel", r.FsensorCarSpeed);
    general("voltage_panel", r.FsensorVoltage);
    general("Panel1", r.FsensorVoltage);
    general("XX_firm_panel", r.FsensorCrankshaftIdleWantSpeed);
    general("O2Volt_panel", r.FsensorLamMdaVoltage_2);
    integer("Panel_O2_gotov", r.flag_O2_gotov);
    integer("Panel_O2_heater", r.flag_O2_heater);
    general("inj_panel", r.FsensorFuelTimeLength);
    general("InjTimePanel", r.FsensorFuelTimeLength);
    general("AIR_panel", r.FsensorAirWeightRate);
    general("GBC_panel", r.FsensorAirCycleRate);
    general("fuel_time_panel", r.FsensorFuelTimeRate);
    general("RzPanel37", r.FsensorAirCycleRate);
    general("RzPanel6", r.FsensorTAIR);
    general("Panel_pressure", r.FsensorPressure);
    general("panel_inj_duty", r.InjDuty);
    general("RzPanel3", r.InjDuty);
    general("RzPanel32", r.FsensorAirFuelRatio);
    general("RzPanel36", r.FsensorTAIR);
    v.injDutyRed = r.InjDuty > 95;
    general("Panel_faza", r.FsensorFazaIngection);
    general("RzPanel34", r.FsensotKNOCkVoltage);
    v.knockRed = r.FsensotKNOCkVoltage > 3.0;
    general("RzPanel33", r.FsensorSparkAngle);
    integer("RzPanel10", r.flag_endine_run);
    integer("RzPanel11", r.flag_XX);
    integer("RzPanel12", r.flag_pow);
    integer("RzPanel13", r.flag_fuelOFF);
    integer("RzPanel14", r.flag_zone_O2);
    v.dkZone = r.flag_zone_O2 == 1 ? app_texts::kDkZoneYes : app_texts::kDkZoneNo;
    v.dkReady = r.flag_O2_gotov == 1 ? app_texts::kDkReadyYes : app_texts::kDkReadyNo;
    integer("RzPanel15", r.flag_zona_knock);
    integer("RzPanel16", r.flag_produv_adsorber);
    integer("RzPanel17", r.flag_save_O2);
    integer("RzPanel18", r.flAG_xx_old);
    integer("RzPanel19", r.flag_block_exit_xx);
    integer("RzPanel20", r.flag_zona_knock_old);
    integer("RzPanel21", r.flag_produv_adsorb_old);
    integer("RzPanel22", r.flag_knock);
    integer("RzPanel23", r.flag_O2_old);
    integer("RzPanel24", r.flag_o2_new);
    if (r.FsensorCarSpeed > 0)
        s.TripFuelRate = (100 / r.FsensorCarSpeed) * r.FsensorFuelTimeRate;
    general("RzPanel35", s.TripFuelRate);
    if (r.FsensorFuelTimeLength > 0 && r.FsensorCrankshaftSpeed > 0) {
        s.FazaUozInjTime = int(
            RoundHalfEven(r.FsensorCrankshaftSpeed / 60 / 1000 * 360 * r.FsensorFuelTimeLength));
        s.FazaGenInjTime = std::clamp(s.FazaUozInjTime - 90, 180, 700);
    }
    return v;
}

const std::vector<PanelCaption>& DiagValuePanels() {
    static const std::vector<PanelCaption> list = {
        {"RPM_panel", "RPM"},
        {"TPS_panel", "TPS"},
        {"TWAT_PANEL", "ТОЖ"},
        {"AFR_PANEL", "AFR"},
        {"RPM_XX_panel", "RPM_XX"},
        {"XX_firm_panel", "ЖелХХ"},
        {"RXX_firm_panel", "ЖелРХХ"},
        {"RXX_panel", "ТекРХХ"},
        {"coeff_panel", "COEFF"},
        {"uoz_panel", "UOZ"},
        {"speed_panel", "Speed"},
        {"voltage_panel", "АКБ"},
        {"O2Volt_panel", "Напр О2"},
        {"Panel_O2_gotov", "Готов ДК"},
        {"Panel_O2_heater", "Нагрев ДК"},
        {"inj_panel", "Время впрыска"},
        {"AIR_panel", "AIR"},
        {"GBC_panel", "GBC"},
        {"fuel_time_panel", "расход л/час"},
        {"RzPanel35", "расход л/100"},
        {"RzPanel6", "TAIR"},
        {"Panel_pressure", "Давление"},
        {"panel_inj_duty", "Форсы загр."},
        {"Panel_faza", "Faza"},
        {"LC_afr_panel", "ШДК AFR"},
        {"LC_coeff_panel", "ШДК COEFF"},
        {"RzPanel28", "AFR_LAM"},
    };
    return list;
}

const std::vector<PanelCaption>& DiagFlagPanels() {
    static const std::vector<PanelCaption> list = {
        {"RzPanel10", "двигатель заведён"},
        {"RzPanel11", "холостой ход"},
        {"RzPanel12", "обгащения по мощности"},
        {"RzPanel13", " блокировки подачи топлива"},
        {"RzPanel14", "зона регулирования О2"},
        {"RzPanel15", "попадания в зону детонации"},
        {"RzPanel16", "разрешения продувки адсорбера"},
        {"RzPanel17", "сохранение обучения О2"},
        {"RzPanel18", "хол ход в прошлом цикле"},
        {"RzPanel19", "разрешение выхода из хх"},
        {"RzPanel20", "попадания в зону детонации"},
        {"RzPanel21", "продувка в прошлом цикле"},
        {"RzPanel22", "детонация"},
        {"RzPanel23", "прошлое состояние ДК"},
        {"RzPanel24", "текущее состояние ДК"},
    };
    return list;
}

const std::vector<PanelCaption>& TuningPanels() {
    static const std::vector<PanelCaption> list = {
        {"RzPanel8", "RPM"},     {"RzPanel26", "TRT"},         {"RzPanel31", "DAD"},
        {"RzPanel2", "ДТОЖ"},    {"InjTimePanel", "Inj Time"}, {"RzPanel3", "Inj duty"},
        {"RzPanel37", "GBC"},    {"RzPanel32", "AFR"},         {"RzPanel36", "TAIR"},
        {"RzPanel34", "АЦП ДД"}, {"RzPanel33", "UOZ"},         {"RzPanel30", "AFR_LC"},
        {"RzPanel7", "COEFF"},   {"RzPanel29", "ПЦН"},         {"RzPanel5", "COEFF LAM"},
        {"Panel27", ""},
    };
    return list;
}

}  // namespace veltrano
