// Texts of the session log.
#pragma once

namespace veltrano {

inline constexpr const char* kLogDirectory = "Logs";
inline constexpr const char* kLogExtension = ".csv";

// First line of every log file (71 fields).
inline constexpr const char* kLogHeader =
    "TIME,режимная точка RPM GBC 3D,ДТОЖ,AFR_ECM,TPS,RPM,RPM_XX,Желаемое RXX,Текущее "
    "RXX,COEFF,фаза впрыска,UOZ,коррекция уоз 1ц,коррекция уоз 2ц,коррекция уоз 3ц,коррекция уоз "
    "4ц,АЦП ДД,АЦП ДМРВ,АЦП АКБ,АЦП ДПДЗ,АЦП ДТОЖ,АЦП ДТВ,АЦП О2,Скорость,желаемые обороты "
    "хх,ДТВ,АЦП ДК,Коэфф GTC при обогащении,Коэфф GTC при обеднении,Inj Time,AIR,GBC,часовой "
    "расход топлива,Pressure,Inj Dyte,AFR с шдк,признак заведённого двс,признак работы на "
    "хх,признак обогащения по мощности,признак блокировки топлива,зона регулирования по "
    "ДК,попадание в зону детонации,разрешение продувки адсорбера,сохранение обучения ДК,хол ход в "
    "прошлом цикле,разрешение выхода из хх,попадание в зону детона в прошлом цикле,продувка в "
    "прошлом цикле,детонация,состояние дк прошлого цикла,текущее состояние ДК,готовность ДК,нагрев "
    "ДК,RPM_RT,TRT_RT,RPM/TRT_RT,коэфицент коррекции от ШДК,DAD_RT,Поправка ЦН,Перезапись "
    "RAM,Перезапись "
    "OLT,RPM_RT_32,FazaGenInjTime,FazaUozInjTime,PCN_GEN_RT,T1,T2,T3,T4,COEFF_B1S1,Путьевой расход "
    "л/100km";

// Status text shown when a row could not be written; the path follows it.
inline constexpr const char* kLogWriteFailed = "Журнал не записан: ";

}  // namespace veltrano
