// The link's own texts: the warning box and the trace lines.
#pragma once

namespace veltrano::link_text {

inline constexpr char kErrorCaption[] = "Ошибка";
inline constexpr char kPortOpenError[] = "Ошибка открытия порта ";

inline constexpr char kLowLatencyOn[] = "LowLatency (OK)";
inline constexpr char kLowLatencyOff[] = "LowLatency (not supported by the driver)";
inline constexpr char kCrcFalse[] = "CRC(FALSE)";
inline constexpr char kCrcOk[] = "CRC (OK)";
inline constexpr char kStartCommunicationOk[] = "StartCommunication (OK)";
inline constexpr char kStopCommunicationOk[] = "StopCommunication (OK)";
inline constexpr char kStartDiagnosticSessionOk[] = "StartDiagnosticSession(OK)";
inline constexpr char kStopDiagnosticSessionOk[] = "StopDiagnosticSession (OK)";
inline constexpr char kClearDiagnosticInformationOk[] = "ClearDiagnosticInformation (OK)";
inline constexpr char kReadTroubleCodesOk[] = "ReadDiagnosticTroubleCodesByStatus (OK)";
inline constexpr char kSwitchToRamOk[] = "SwitchToRam (OK)";
inline constexpr char kWriteMemoOk[] = "WriteMemo (OK)";
inline constexpr char kWriteFailed[] = "WriteMemo (FAILED)";
inline constexpr char kWriteRefused[] = "WriteMemo (REFUSED): no table at ";
inline constexpr char kNegativeAnswer[] = "ERROR";
inline constexpr char kReadDataOk[] = "ReadDataByLocalIdentifier (OK)";
inline constexpr char kWaitingForOldSession[] = "Ожидание конца прежнего сеанса ЭБУ";
inline constexpr char kCheckConnectionOk[] = "Проверка соединения (ОК)";
inline constexpr char kCheckConnectionFailed[] = "Проверка соединения (Ошибка)";

// A trouble code the description table does not know.
inline constexpr char kUnknownTroubleCode[] = "Неизвестный код";

}  // namespace veltrano::link_text
