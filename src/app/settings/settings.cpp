#include "app/settings/settings.h"

#include <filesystem>

#include "app/settings/ini_file.h"
#include "common/text_forms.h"

namespace veltrano {
namespace {

IniFile ExistingOrEmpty(const std::string& path) {
    if (auto ini = IniFile::Load(path))
        return *ini;
    return IniFile::Parse("");
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

// The file as read, or nothing when it is missing or unreadable.
std::optional<IniFile> LoadExisting(const std::string& path) {
    if (!Exists(path))
        return {};
    return IniFile::Load(path);
}

}  // namespace

bool LoadSettings(const std::string& path, AppSettings& v) {
    const auto ini = LoadExisting(path);
    if (!ini)
        return false;
    v.lcPort = ini->ReadString("LC_1", "Port", "COM2");
    v.ecuPort = ini->ReadString("OBDII", "Port", "COM1");
    v.baudRate1 = ini->ReadInteger("OBDII", "BaudRate1nd", 10400);
    v.baudRate2 = ini->ReadInteger("OBDII", "BaudRate2nd", 10400);
    v.delayRate = ini->ReadInteger("OBDII", "DelayRate", 200);
    v.lamSensor = ini->ReadString("LC_1", "LamSensor", "LC_1");
    return true;
}

bool LoadDialogSettings(const std::string& path, AppSettings& v) {
    const auto ini = LoadExisting(path);
    if (!ini)
        return false;
    v.lcPort = ini->ReadString("LC_1", "Port", "COM2");
    v.ecuPort = ini->ReadString("OBDII", "Port", "COM1");
    v.baudRate1 = ini->ReadInteger("OBDII", "BaudRate1nd", 10400);
    v.delayRate = ini->ReadInteger("OBDII", "DelayRate", 200);
    v.stationarRt = ini->ReadInteger("EDUCATION", "STATIONAR_RT", 5);
    v.countRtRewrite = ini->ReadInteger("EDUCATION", "COUNT_RT_REWRITE", 10);
    return true;
}

SaveResult SaveSettings(const std::string& path, const DialogFields& f, std::string* badText) {
    const auto baud = ParseInteger(f.baudText);
    const auto delay = ParseInteger(f.delayText);
    const bool baudBad = !baud || *baud < -2147483648LL || *baud > 2147483647LL;
    const bool delayBad = !delay || *delay < -2147483648LL || *delay > 2147483647LL;
    if (baudBad || delayBad) {
        if (badText)
            *badText = baudBad ? f.baudText : f.delayText;
        return SaveResult::NotAnInteger;
    }
    IniFile ini = ExistingOrEmpty(path);
    ini.WriteString("OBDII", "Port", f.ecuPort);
    ini.WriteInteger("OBDII", "BaudRate1nd", int(*baud));
    ini.WriteInteger("OBDII", "BaudRate2nd", 10400);
    ini.WriteInteger("OBDII", "DelayRate", int(*delay));
    ini.WriteString("LC_1", "Port", f.lcPort);
    ini.WriteString("LC_1", "LamSensor", f.lamSensor);
    ini.WriteInteger("EDUCATION", "STATIONAR_RT", f.stationarRt);
    ini.WriteInteger("EDUCATION", "COUNT_RT_REWRITE", f.countRtRewrite);
    return ini.Save(path) ? SaveResult::Saved : SaveResult::WriteFailed;
}

bool WriteLearningBoxes(const std::string& path, int delayRate, int countRtRewrite) {
    IniFile ini = ExistingOrEmpty(path);
    ini.WriteInteger("OBDII", "DelayRate", delayRate);
    ini.WriteInteger("EDUCATION", "COUNT_RT_REWRITE", countRtRewrite);
    return ini.Save(path);
}

}  // namespace veltrano
