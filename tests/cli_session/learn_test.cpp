// veltrano-cli learn over a session's own log: the table learned off-line is the table the
// session learned on-line with the same settings.
#include "tests/cli_session/session_fixture.h"

#include <optional>

#include "calibration/calibration_file.h"

namespace veltrano {
namespace {

std::vector<std::uint8_t> Bytes(const fs::path& p) {
    const std::string s = Slurp(p);
    return {s.begin(), s.end()};
}

fs::path OnlyLog(const fs::path& logs) {
    fs::path found;
    for (const auto& e : fs::directory_iterator(logs))
        found = e.path();
    return found;
}

TEST_F(SessionCommand, LearningOverTheSessionsLogGivesTheTableLearnedOnLine) {
    const struct {
        const char* name;
        bool realistic;
        const char* settings;
        const char* length;
    } cases[] = {
        {"wideband, 10 hits", false, "--source shdk --hits 10", "--records 400"},
        {"wideband, 12 hits", false, "--source shdk --hits 12", "--records 400"},
        // Exhaust delay, probe lag and noise: the readings are credited to earlier records.
        {"precise, wideband", true, "--source shdk --mode precise", "--records 1500"},
    };
    std::optional<bool> car;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (car != c.realistic) {
            TearDown();
            StartCar(c.realistic);
            car = c.realistic;
        }
        fs::remove_all(dir / "out");
        const Result online = Run(Car() + Wideband() + " --target olt --learn --delay 10 " +
                                  c.settings + " " + c.length + " --save-image " + P("online.bin"));
        ASSERT_EQ(online.code, 0) << online.err;
        const fs::path log = OnlyLog(dir / "out" / "Logs");
        const Result offline =
            RunCli("learn --image " + P("image.bin") + " --log '" + log.string() + "' " +
                   c.settings + " --out " + P("offline.bin"));
        ASSERT_EQ(offline.code, 0) << offline.err;
        EXPECT_EQ(Figure(offline.out, "records read"), Figure(online.out, "records"))
            << offline.out;
        EXPECT_EQ(Figure(offline.out, "updates"), Figure(online.out, "updates")) << offline.out;
        EXPECT_GT(Figure(offline.out, "cells changed"), 0) << offline.out;

        const auto on = Bytes(P("online.bin"));
        const auto off = Bytes(P("offline.bin"));
        ASSERT_EQ(on.size(), off.size());
        EXPECT_TRUE(TFirmware::ChecksumCorrect(off));
        RecordedMessages messages;
        Calibration cal;
        ASSERT_TRUE(OpenCalibrationBytes(image, messages, cal, ','));
        const int pcn = cal.layout.StartAddrPCN;
        int differ = 0;
        for (int i = 0; i < 256; ++i) {
            EXPECT_LE(std::abs(on[pcn + i] - off[pcn + i]), 1) << "cell " << i;
            differ += on[pcn + i] != off[pcn + i];
        }
        EXPECT_LE(differ, 4);
        // The proposal is the fuel table: nothing else but the checksum moves.
        for (int i = 0; i < int(off.size()); ++i) {
            if ((i < pcn || i >= pcn + 256) && i < 0xFFFA && off[i] != image[i])
                ADD_FAILURE() << "byte " << i << " changed";
        }
    }
}

TEST_F(SessionCommand, LearnRefusesAFileThatIsNotALog) {
    std::ofstream(dir / "not-a-log.csv") << "a,b,c\n1,2,3\n";
    const Result r = RunCli("learn --image " + P("image.bin") + " --log " + P("not-a-log.csv"));
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("не является журналом"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace veltrano
