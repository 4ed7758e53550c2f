// veltrano-cli session against the simulated car: the program is run as a tuner runs it, the
// ECU and the wideband controller answer on pseudo-terminals in this process.
#include "tests/cli_session/session_fixture.h"

namespace veltrano {
namespace {

TEST_F(SessionCommand, LearnsLogsEveryRecordAndSavesTheLearnedImage) {
    StartCar();
    const Result r = Run(Car() + Wideband() +
                         " --source shdk --target olt --learn --hits 10 --delay 10"
                         " --records 400 --save-image " +
                         P("learned.bin"));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Figure(r.out, "records"), 400) << r.out;
    EXPECT_GT(Figure(r.out, "updates"), 0) << r.out;
    EXPECT_GT(Figure(r.out, "writes requested"), 0) << r.out;
    EXPECT_EQ(LogRows().size(), 401u);  // the header and one row per record

    RecordedMessages messages;
    Calibration before, after;
    ASSERT_TRUE(OpenCalibrationBytes(image, messages, before, ','));
    const std::string bytes = Slurp(dir / "learned.bin");
    const std::vector<std::uint8_t> saved(bytes.begin(), bytes.end());
    ASSERT_EQ(saved.size(), image.size());
    ASSERT_TRUE(TFirmware::ChecksumCorrect(saved));
    ASSERT_TRUE(OpenCalibrationBytes(saved, messages, after, ','));
    const int pcn = before.layout.StartAddrPCN;
    int changed = 0;
    for (int i = 0; i < 256; ++i)
        changed += saved[pcn + i] != image[pcn + i];
    EXPECT_GT(changed, 0);
    EXPECT_LT(changed, 64);  // only around the two points driven
    // The update nudges the BCN beside the PCN; nothing else but the checksum moves.
    const int bcn = before.layout.StartAddrBCN;
    const auto learned = [&](int i) {
        return (i >= pcn && i < pcn + 256) || (i >= bcn && i < bcn + 256) || i >= 0xFFFA;
    };
    for (int i = 0; i < int(image.size()); ++i) {
        if (!learned(i) && saved[i] != image[i])
            ADD_FAILURE() << "byte " << i << " changed";
    }
}

TEST_F(SessionCommand, SamplesPerUpdateDefaultToTheSettingsFile) {
    std::ofstream(dir / "Settings.ini") << "[OBDII]\r\nDelayRate=10\r\n"
                                           "[EDUCATION]\r\nCOUNT_RT_REWRITE=100\r\n";
    StartCar();
    const Result r = Run(Car() + Wideband() + " --source shdk --target olt --learn --records 300");
    ASSERT_EQ(r.code, 0) << r.err;
    // With the box at 100 samples an update needs a whole dwell; at 10 there would be dozens.
    EXPECT_LE(Figure(r.out, "updates"), 3) << r.out;
}

// The settings' wideband type means what it means to the window: "LC-1/2" reads the LC-1, the
// default "LC_1" (no LamSensor key) selects no decoder, and the command says so.
TEST_F(SessionCommand, WidebandTypeFromTheSettingsAsTheWindowTakesIt) {
    struct Case {
        const char* name;
        std::string settingsLine;
        bool readings;
    } cases[] = {
        {"LC-1/2", "[LC_1]\r\nLamSensor=LC-1/2\r\n", true},
        {"default LC_1", "", false},
    };
    StartCar();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(dir / "Settings.ini") << "[OBDII]\r\nDelayRate=10\r\n" << c.settingsLine;
        fs::remove_all(dir / "out");
        const Result r = Run(Car() + " --lambda-port " + lambda->DevicePath() +
                             " --source shdk --target olt --learn --hits 10 --records 250");
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(Figure(r.out, "updates") > 0, c.readings) << r.out;
        EXPECT_EQ(r.err.find("neither LC-1/2 nor AEM") != std::string::npos, !c.readings) << r.err;
    }
}

TEST_F(SessionCommand, SigintEndsTheSessionCleanly) {
    StartCar();
    const Result r = Run(Car() + " --source dk --target ram --learn", 2500ms);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("interrupted"), std::string::npos);
    const long records = Figure(r.out, "records");
    EXPECT_GT(records, 10) << r.out;
    EXPECT_EQ(long(LogRows().size()), records + 1);
    // The link closed its session with the ECU before the program ended.
    EXPECT_FALSE(ecu->Status().communicating);
}

TEST_F(SessionCommand, TimeLimitEndsTheSession) {
    StartCar();
    const Result r = Run(Car() + " --seconds 2");
    ASSERT_EQ(r.code, 0) << r.err;
    const long records = Figure(r.out, "records");
    EXPECT_GT(records, 10) << r.out;
    EXPECT_EQ(Figure(r.out, "updates"), 0);  // learning was off
    EXPECT_EQ(long(LogRows().size()), records + 1);
}

TEST_F(SessionCommand, AnEcuThatFallsSilentEndsTheSessionWithAnError) {
    StartCar();
    const std::string args = Car() + " --save-image " + P("kept.bin");
    std::thread stop([this] {
        std::this_thread::sleep_for(1500ms);
        ecu->Stop();
    });
    const Result r = Run(args);
    stop.join();
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("stopped answering"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    const long records = Figure(r.out, "records");
    EXPECT_GT(records, 10) << r.out;
    EXPECT_EQ(long(LogRows().size()), records + 1);
    EXPECT_TRUE(fs::exists(dir / "kept.bin"));  // what was learned is not lost
}

// A pseudo-terminal nobody answers on: a port that opens but an ECU that stays silent.
class SilentPort {
  public:
    SilentPort() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0)
            path_ = ptsname(master_);
    }
    ~SilentPort() {
        if (master_ >= 0)
            close(master_);
    }
    const std::string& Path() const { return path_; }

  private:
    int master_ = -1;
    std::string path_;
};

TEST_F(SessionCommand, ErrorsEndWithOneClearLine) {
    StartCar();
    SilentPort silent;
    ASSERT_FALSE(silent.Path().empty());
    std::ofstream(dir / "short.bin", std::ios::binary) << std::string(100, 'x');
    const std::string settings = " --settings " + P("Settings.ini");
    const std::string car = " --port " + ecu->DevicePath();
    const std::string img = " --image " + P("image.bin");
    const struct {
        std::string args;
        int code;
        std::string text;
    } cases[] = {
        {"--port /dev/veltrano-no-such-port" + img, 1, "cannot open the port"},
        {car + " --image " + P("missing.bin"), 1, "no such file"},
        {car + " --image " + P("short.bin"), 1, ""},
        {"--port " + silent.Path() + img, 1, "does not answer"},
        {car + img + " --lambda-port /dev/veltrano-no-such-port --lambda-type AEM", 1,
         "wideband port"},
        {img, 2, "--port and --image are required"},
        {car + img + " --records 10 --seconds 2", 2, "exclude each other"},
        {car + img + " --hits 5", 2, "bad value for --hits"},
        {car + img + " --delay 600", 2, "bad value for --delay"},
        {car + img + " --source lambda", 2, "bad value for --source"},
        {car + img + " --lambda-type LC-2", 2, "bad value for --lambda-type"},
        {car + img + " --records x", 2, "bad value for --records"},
        {car + img + " --speed 1", 2, "unknown option --speed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const Result r = Run(c.args + settings + " --log-dir " + P("out"));
        EXPECT_EQ(r.code, c.code);
        EXPECT_NE(r.err.find(c.text), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

}  // namespace
}  // namespace veltrano
