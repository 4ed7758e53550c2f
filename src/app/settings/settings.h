// The connection and learning settings kept in Settings.ini (sections OBDII, LC_1, EDUCATION).
#pragma once

#include <string>

namespace veltrano {

// The program-wide settings values, one per key, with the defaults the readers apply.
struct AppSettings {
    std::string ecuPort = "COM1";    // [OBDII] Port
    int baudRate1 = 10400;           // [OBDII] BaudRate1nd: session speed
    int baudRate2 = 10400;           // [OBDII] BaudRate2nd: speed the port is opened at
    int delayRate = 200;             // [OBDII] DelayRate, ms
    std::string lcPort = "COM2";     // [LC_1] Port
    std::string lamSensor = "LC_1";  // [LC_1] LamSensor
    int stationarRt = 5;             // [EDUCATION] STATIONAR_RT
    int countRtRewrite = 10;         // [EDUCATION] COUNT_RT_REWRITE
};

// The main window's reader: LC_1 Port, OBDII Port, BaudRate1nd, BaudRate2nd, DelayRate and
// LC_1 LamSensor. False (values untouched) when the file does not exist: a first run.
bool LoadSettings(const std::string& path, AppSettings& values);

// The settings dialog's reader: LC_1 Port, OBDII Port, BaudRate1nd, DelayRate, STATIONAR_RT
// and COUNT_RT_REWRITE. False (values untouched) when the file does not exist.
bool LoadDialogSettings(const std::string& path, AppSettings& values);

// What the settings dialog shows; the speed and the interval are texts as typed.
struct DialogFields {
    std::string ecuPort;
    std::string baudText;
    std::string delayText;
    std::string lcPort;
    std::string lamSensor;
    int stationarRt = 0;
    int countRtRewrite = 0;
};

enum class SaveResult { Saved, NotAnInteger, WriteFailed };

// Writes the eight keys in their order (BaudRate2nd always 10400). A speed or interval text
// that is not an integer writes nothing; `badText` then names it.
SaveResult SaveSettings(const std::string& path, const DialogFields& fields,
                        std::string* badText = nullptr);

// The main window's spin boxes: [OBDII] DelayRate and [EDUCATION] COUNT_RT_REWRITE.
bool WriteLearningBoxes(const std::string& path, int delayRate, int countRtRewrite);

}  // namespace veltrano
