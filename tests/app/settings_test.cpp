#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/settings/ini_file.h"
#include "app/settings/settings.h"
#include "app/settings/settings_path.h"

namespace veltrano {
namespace {
namespace fs = std::filesystem;

// XDG_CONFIG_HOME of this process; empty removes it.
void SetConfigHome(const std::string& value) {
#ifdef _WIN32
    ::_putenv_s("XDG_CONFIG_HOME", value.c_str());  // an empty value removes it there
#else
    if (value.empty())
        ::unsetenv("XDG_CONFIG_HOME");
    else
        ::setenv("XDG_CONFIG_HOME", value.c_str(), 1);
#endif
}

class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("veltrano_settings_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = (dir / "Settings.ini").string();
    }
    void TearDown() override { fs::remove_all(dir); }
    void Write(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    std::string Read() const {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    fs::path dir;
    std::string path;
};

TEST_F(SettingsFile, MissingFileIsAFirstRunAndKeepsValues) {
    AppSettings v;
    v.ecuPort = "";
    EXPECT_FALSE(LoadSettings(path, v));
    EXPECT_FALSE(LoadDialogSettings(path, v));
    EXPECT_EQ(v.ecuPort, "");
}

TEST_F(SettingsFile, MissingKeysTakeTheirDefaults) {
    Write("[OBDII]\r\nBaudRate1nd=38400\r\n");
    AppSettings v;
    v.lamSensor = "x";
    v.delayRate = 1;
    ASSERT_TRUE(LoadSettings(path, v));
    EXPECT_EQ(v.ecuPort, "COM1");
    EXPECT_EQ(v.lcPort, "COM2");
    EXPECT_EQ(v.baudRate1, 38400);
    EXPECT_EQ(v.baudRate2, 10400);
    EXPECT_EQ(v.delayRate, 200);
    EXPECT_EQ(v.lamSensor, "LC_1");  // not one of the dialog's entries
}

TEST_F(SettingsFile, ReadersReadOnlyTheirOwnKeys) {
    Write(
        "[obdii]\nport = /dev/ttyUSB0\nBaudRate1nd=57600\nBaudRate2nd=38400\nDelayRate=75\n"
        "[LC_1]\nPort=/dev/ttyUSB1\nLamSensor=AEM\n[EDUCATION]\nSTATIONAR_RT=7\n"
        "COUNT_RT_REWRITE=33\n");
    AppSettings main;
    ASSERT_TRUE(LoadSettings(path, main));
    EXPECT_EQ(main.ecuPort, "/dev/ttyUSB0");  // names compare without case
    EXPECT_EQ(main.baudRate2, 38400);
    EXPECT_EQ(main.lamSensor, "AEM");
    EXPECT_EQ(main.countRtRewrite, 10);  // EDUCATION is the dialog reader's
    AppSettings dialog;
    dialog.baudRate2 = 1;
    dialog.lamSensor = "kept";
    ASSERT_TRUE(LoadDialogSettings(path, dialog));
    EXPECT_EQ(dialog.delayRate, 75);
    EXPECT_EQ(dialog.stationarRt, 7);
    EXPECT_EQ(dialog.countRtRewrite, 33);
    EXPECT_EQ(dialog.baudRate2, 1);
    EXPECT_EQ(dialog.lamSensor, "kept");
}

TEST_F(SettingsFile, SaveWritesEightKeysInOrderWithFixedSecondSpeed) {
    DialogFields f{"/dev/ttyUSB0", "38400", "150", "/dev/ttyUSB1", "LC-1/2", 5, 10};
    ASSERT_EQ(SaveSettings(path, f), SaveResult::Saved);
    EXPECT_EQ(Read(),
              "[OBDII]\r\nPort=/dev/ttyUSB0\r\nBaudRate1nd=38400\r\nBaudRate2nd=10400\r\n"
              "DelayRate=150\r\n\r\n[LC_1]\r\nPort=/dev/ttyUSB1\r\nLamSensor=LC-1/2\r\n\r\n"
              "[EDUCATION]\r\nSTATIONAR_RT=5\r\nCOUNT_RT_REWRITE=10\r\n");
    AppSettings v;
    ASSERT_TRUE(LoadSettings(path, v));
    EXPECT_EQ(v.baudRate1, 38400);
    EXPECT_EQ(v.lamSensor, "LC-1/2");
}

TEST_F(SettingsFile, NonIntegerTextWritesNothing) {
    Write("[OBDII]\r\nDelayRate=50\r\n");
    const std::string before = Read();
    for (auto [baud, delay, bad] :
         {std::tuple{"10400", "1a0", "1a0"}, {"", "100", ""}, {"10400", "1,5", "1,5"}}) {
        std::string badText = "?";
        DialogFields f{"COM1", baud, delay, "COM2", "AEM", 1, 2};
        EXPECT_EQ(SaveSettings(path, f, &badText), SaveResult::NotAnInteger);
        EXPECT_EQ(badText, bad);
        EXPECT_EQ(Read(), before);
    }
}

TEST_F(SettingsFile, RewriteKeepsForeignLinesAndUpdatesInPlace) {
    Write("; tuner notes\r\n[OBDII]\r\nPort=COM3\r\nExtra=1\r\n\r\n[Other]\r\nA=b\r\n");
    ASSERT_TRUE(WriteLearningBoxes(path, 120, 40));
    EXPECT_EQ(Read(),
              "; tuner notes\r\n[OBDII]\r\nPort=COM3\r\nExtra=1\r\nDelayRate=120\r\n\r\n"
              "[Other]\r\nA=b\r\n\r\n[EDUCATION]\r\nCOUNT_RT_REWRITE=40\r\n");
    ASSERT_TRUE(WriteLearningBoxes(path, 130, 41));
    const auto ini = IniFile::Load(path);
    ASSERT_TRUE(ini);
    EXPECT_EQ(ini->ReadInteger("OBDII", "DelayRate", 0), 130);
    EXPECT_EQ(ini->ReadInteger("EDUCATION", "COUNT_RT_REWRITE", 0), 41);
}

TEST(IniFile, IntegerReadingFallsBackOnGarbage) {
    const IniFile ini = IniFile::Parse("[S]\nA= 42 \nB=0x1F\nC=12abc\nD=\nE=99999999999\nF=-7\n");
    struct Case {
        const char* key;
        int expected;
    };
    for (const Case c :
         {Case{"A", 42}, {"B", 31}, {"C", -1}, {"D", -1}, {"E", -1}, {"F", -7}, {"missing", -1}})
        EXPECT_EQ(ini.ReadInteger("S", c.key, -1), c.expected) << c.key;
}

TEST_F(SettingsFile, SaveIntoUnwritablePlaceFails) {
    DialogFields f{"COM1", "10400", "100", "COM2", "AEM", 1, 2};
    EXPECT_EQ(SaveSettings((dir / "no" / "such" / "Settings.ini").string(), f),
              SaveResult::WriteFailed);
}

TEST_F(SettingsFile, SerialPortsAreListedByKindInNumericOrder) {
    for (const char* name :
         {"ttyS10", "ttyS2", "ttyUSB1", "ttyACM0", "ttyUSB0", "ttyX", "ttySx", "tty", "ttyS"})
        std::ofstream(dir / name) << "";
    const auto ports = ListSerialPorts(dir.string());
    const std::vector<std::string> expected = {
        (dir / "ttyUSB0").string(), (dir / "ttyUSB1").string(), (dir / "ttyACM0").string(),
        (dir / "ttyS2").string(), (dir / "ttyS10").string()};
    EXPECT_EQ(ports, expected);
    EXPECT_TRUE(ListSerialPorts((dir / "missing").string()).empty());
}

TEST_F(SettingsFile, SettingsPathFallsBackToConfigDirWhenNotWritable) {
    EXPECT_EQ(SettingsFilePath(dir.string()), (dir / "Settings.ini").string());
    // A directory the process cannot write into (here: one that does not exist).
    const fs::path locked = dir / "installed" / "bin";
    const fs::path config = dir / "config";
    SetConfigHome(config.string());
    EXPECT_EQ(SettingsFilePath(locked.string()), (config / "veltrano" / "Settings.ini").string());
    EXPECT_TRUE(fs::is_directory(config / "veltrano"));
    SetConfigHome("");
}

// Installed from the package, the program keeps its settings in the user's config folder even
// when it may write beside itself (run as root).
TEST_F(SettingsFile, InstalledProgramKeepsSettingsInTheConfigDir) {
    const fs::path config = dir / "config";
    SetConfigHome(config.string());
    for (const char* bin : {"/usr/bin", "/usr/local/bin", "/opt/veltrano/bin"}) {
        EXPECT_TRUE(InstalledInSystem(bin)) << bin;
        EXPECT_EQ(SettingsFilePath(bin), (config / "veltrano" / "Settings.ini").string()) << bin;
    }
    for (const char* tree : {"/work/veltrano/build", "/home/tuner/veltrano", "/tmp/usr/bin"})
        EXPECT_FALSE(InstalledInSystem(tree)) << tree;
    SetConfigHome("");
}

}  // namespace
}  // namespace veltrano
