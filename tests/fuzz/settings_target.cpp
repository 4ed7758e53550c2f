// Settings.ini parsing on arbitrary text: both readers, a write into the file as it is,
// and the values read back after the write.
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/settings/ini_file.h"
#include "app/settings/settings.h"
#include "fuzz_input.h"
#include "fuzz_targets.h"

namespace veltrano::fuzz {
namespace {

std::string SettingsPath() {
    static const std::string path =
        (std::filesystem::temp_directory_path() /
         ("veltrano-fuzz-settings-" + std::to_string(getpid()) + ".ini"))
            .string();
    return path;
}

struct Key {
    const char* section;
    const char* key;
};
constexpr Key kKeys[] = {
    {"OBDII", "Port"},
    {"OBDII", "BaudRate1nd"},
    {"OBDII", "BaudRate2nd"},
    {"OBDII", "DelayRate"},
    {"LC_1", "Port"},
    {"LC_1", "LamSensor"},
    {"EDUCATION", "STATIONAR_RT"},
    {"EDUCATION", "COUNT_RT_REWRITE"},
};

// Writing the file back keeps every value a reader sees.
void CheckRoundTrip(const IniFile& ini) {
    const IniFile again = IniFile::Parse(ini.Text());
    for (const Key& k : kKeys)
        Check(ini.Value(k.section, k.key) == again.Value(k.section, k.key), "value kept");
}

}  // namespace

// Bytes 0..7: the two spin box values to write; the rest: the file's text.
int Settings(Bytes data) {
    FuzzInput in(data);
    const int delay = in.Raw<int>();
    const int count = in.Raw<int>();
    const auto rest = in.Rest();
    const std::string text(rest.begin(), rest.end());

    IniFile ini = IniFile::Parse(text);
    CheckRoundTrip(ini);
    for (const Key& k : kKeys)
        ini.ReadInteger(k.section, k.key, -1);
    ini.WriteString("LC_1", "LamSensor", "AEM");
    Check(ini.Value("LC_1", "LamSensor") == "AEM", "written value read");
    CheckRoundTrip(ini);

    const std::string path = SettingsPath();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << text;
    }
    AppSettings values;
    Check(LoadSettings(path, values), "main reader");
    Check(LoadDialogSettings(path, values), "dialog reader");
    Check(WriteLearningBoxes(path, delay, count), "spin boxes written");
    AppSettings back;
    Check(LoadDialogSettings(path, back), "read after write");
    Check(back.delayRate == delay && back.countRtRewrite == count, "spin boxes read back");
    std::filesystem::remove(path);
    return 0;
}

}  // namespace veltrano::fuzz
