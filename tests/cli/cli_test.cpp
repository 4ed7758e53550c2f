// veltrano-cli end to end: the binary is run as a script would run it.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "calibration/calibration_file.h"
#include "calibration/table_catalogue.h"
#include "common/messages.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;

struct Result {
    int code = -1;
    std::string out;
    std::string err;
};

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class Cli : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::path(VELTRANO_BINARY_DIR) / "test-files" /
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir);
        fs::create_directories(dir);
    }

    // env: assignments put before the program ("LC_ALL=C").
    Result Run(const std::string& args, const std::string& env = "") {
        const std::string cmd = env + " " + std::string(VELTRANO_BINARY_DIR) + "/veltrano-cli " +
                                args + " >" + (dir / "out").string() + " 2>" +
                                (dir / "err").string();
        const int status = std::system(cmd.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(dir / "out"),
                Slurp(dir / "err")};
    }

    std::string P(const std::string& name) { return (dir / name).string(); }

    fs::path dir;
};

TEST_F(Cli, ResaveOfEveryVariantIsByteIdentical) {
    for (const char* variant :
         {"J7SPT", "J5SPT", "J7ES", "J5TRS", "J7TRS", "J5LS", "J5.1", "J7.2"}) {
        SCOPED_TRACE(variant);
        ASSERT_EQ(Run("demo-image --variant " + std::string(variant) + " " + P("in.bin")).code, 0);
        ASSERT_EQ(Run("checksum " + P("in.bin")).out, "checksum correct\n");
        const Result r = Run("resave " + P("in.bin") + " " + P("out.bin"));
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(Slurp(dir / "out.bin"), Slurp(dir / "in.bin"));
    }
}

TEST_F(Cli, BigImageKeepsItsChecksumBytes) {
    ASSERT_EQ(Run("demo-image --size 131072 " + P("big.bin")).code, 0);
    EXPECT_EQ(fs::file_size(dir / "big.bin"), 131072u);
    EXPECT_EQ(Run("checksum --fix " + P("big.bin")).out,
              "no checksum: the image is 131072 bytes, not 65536\n");
    ASSERT_EQ(Run("resave " + P("big.bin") + " " + P("out.bin")).code, 0);
    EXPECT_EQ(Slurp(dir / "out.bin"), Slurp(dir / "big.bin"));
    EXPECT_NE(Run("info --json " + P("big.bin")).out.find("\"checksumOk\": null"),
              std::string::npos);
}

TEST_F(Cli, ChecksumReportsAndFixes) {
    ASSERT_EQ(Run("demo-image " + P("a.bin")).code, 0);
    const std::string good = Slurp(dir / "a.bin");
    std::string bad = good;
    bad[0xFFFE] = static_cast<char>(bad[0xFFFE] + 1);
    std::ofstream(dir / "a.bin", std::ios::binary) << bad;
    const Result report = Run("checksum " + P("a.bin"));
    EXPECT_EQ(report.code, 3);
    EXPECT_EQ(report.out, "checksum wrong\n");
    EXPECT_EQ(Slurp(dir / "a.bin"), bad);
    EXPECT_EQ(Run("checksum --fix " + P("a.bin")).out, "checksum corrected\n");
    EXPECT_EQ(Slurp(dir / "a.bin"), good);
}

TEST_F(Cli, InfoJsonUsesTheFieldNames) {
    ASSERT_EQ(Run("demo-image " + P("a.bin")).code, 0);
    const Result r = Run("info --json " + P("a.bin"));
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(r.out.front(), '{');
    EXPECT_EQ(r.out.substr(r.out.size() - 2), "}\n");
    for (const char* part :
         {"\"firmwareName\": \"J5TRS\"", "\"FlagDAD\": true", "\"FlagDadUozAfr\": true",
          "\"StartAddrPCN\": 29549", "\"StartAddrBCN\": 29293", "\"rpmFactor\": 30",
          "\"FRPMAxis\": [600,810,", "\"FThrottleAxis\": [0,2,", "\"FDADAxis\": [20,25,",
          "\"checksumOk\": true", "\"FdadNaklon\": 22.3"}) {
        EXPECT_NE(r.out.find(part), std::string::npos) << part;
    }
    const Result text = Run("info " + P("a.bin"));
    EXPECT_NE(text.out.find("StartAddrPCN: 0x736D\n"), std::string::npos);
}

TEST_F(Cli, ShowPrintsTheGridWithLabels) {
    ASSERT_EQ(Run("demo-image " + P("a.bin")).code, 0);
    const Result comma = Run("show " + P("a.bin") + " UOZ");
    ASSERT_EQ(comma.code, 0);
    std::istringstream lines(comma.out);
    std::string first, second;
    std::getline(lines, first);
    std::getline(lines, second);
    EXPECT_EQ(first.substr(0, 9), "\t600\t810\t");
    EXPECT_EQ(second.substr(0, 3), "20\t");
    EXPECT_EQ(std::count(comma.out.begin(), comma.out.end(), '\n'), 18);
    EXPECT_NE(comma.out.find("10,5"), std::string::npos);
    const Result dot = Run("show --decimal . " + P("a.bin") + " UOZ");
    EXPECT_NE(dot.out.find("10.5"), std::string::npos);
    EXPECT_EQ(dot.out.find("10,5"), std::string::npos);
    const Result data = Run("show " + P("a.bin") + " DATA");
    EXPECT_NE(data.out.find("Обороты Лаунча\t4000"), std::string::npos);
}

TEST_F(Cli, ExportWritesTheTableFile) {
    ASSERT_EQ(Run("demo-image " + P("a.bin")).code, 0);
    ASSERT_EQ(Run("export " + P("a.bin") + " PCN " + P("pcn.cte")).code, 0);
    const std::string pcn = Slurp(dir / "pcn.cte");
    EXPECT_EQ(pcn.substr(0, 12), "[FE01FF10]\r\n");
    EXPECT_EQ(std::count(pcn.begin(), pcn.end(), '\n'), 258);
    ASSERT_EQ(Run("export --trt " + P("a.bin") + " PCN " + P("trt.cte")).code, 0);
    EXPECT_EQ(Slurp(dir / "trt.cte").substr(0, 12), "[454C2B1C]\r\n");
    ASSERT_EQ(Run("demo-image --variant J7.2 " + P("b.bin")).code, 0);
    const Result noTrt = Run("export --trt " + P("b.bin") + " PCN " + P("x.cte"));
    EXPECT_NE(noTrt.code, 0);
    EXPECT_FALSE(fs::exists(dir / "x.cte"));
}

TEST_F(Cli, BadInputGivesOneLineAndWritesNothing) {
    ASSERT_EQ(Run("demo-image " + P("a.bin")).code, 0);
    std::ofstream(dir / "short.bin", std::ios::binary) << std::string(65535, 'x');
    const std::string cases[] = {
        "info " + P("missing.bin"),
        "show " + P("short.bin") + " PCN",
        "show " + P("a.bin") + " NOPE",
        "show --decimal x " + P("a.bin") + " PCN",
        "export " + P("a.bin") + " DATA " + P("x.out"),
        "export " + P("short.bin") + " PCN " + P("x.out"),
        "resave " + P("missing.bin") + " " + P("x.out"),
        "resave " + P("short.bin") + " " + P("x.out"),
        "checksum --bogus " + P("a.bin"),
        "demo-image --variant J9 " + P("x.out"),
        "demo-image --size 12 " + P("x.out"),
        "info",
    };
    for (const std::string& args : cases) {
        SCOPED_TRACE(args);
        const Result r = Run(args);
        EXPECT_NE(r.code, 0);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_FALSE(fs::exists(dir / "x.out"));
    }
    EXPECT_NE(Run("bogus").code, 0);
}

// --help, and COMMAND --help, print the usage on stdout and succeed; the README lists every
// option the usage names.
TEST_F(Cli, HelpForTheToolAndEachCommand) {
    struct Case {
        std::string args;
        std::vector<std::string> options;  // each must show in the usage and in the README
    } cases[] = {
        {"--help", {"info", "session", "monitor", "--help"}},
        {"info --help", {"--json"}},
        {"show --help", {"--decimal"}},
        {"export --help", {"--decimal", "--trt"}},
        {"checksum --help", {"--fix"}},
        {"resave --help", {}},
        {"demo-image --help", {"--variant", "--size"}},
        {"diff --help", {"--json"}},
        {"monitor --help", {"--port", "--baud", "--olt", "--records", "--json", "--delay"}},
        {"learn --help",
         {"--image", "--log", "--source", "--mode", "--hits", "--stationary", "--coolant", "--out",
          "--json"}},
        {"session --help",
         {"--port", "--image", "--lambda-port", "--lambda-type", "--source", "--target", "--learn",
          "--hits", "--delay", "--records", "--seconds", "--log-dir", "--save-image",
          "--settings"}},
    };
    const std::string readme = Slurp(fs::path(VELTRANO_SOURCE_DIR) / "README.md");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const Result r = Run(c.args);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out.rfind("usage: veltrano-cli", 0), 0u) << r.out;
        EXPECT_TRUE(r.err.empty()) << r.err;
        const std::string command = c.args.substr(0, c.args.find(' '));
        for (const std::string& o : c.options) {
            EXPECT_NE(r.out.find(o), std::string::npos) << o;
            if (command == "--help")
                continue;
            const std::string line = "veltrano-cli " + command;
            const auto at = readme.find(line);
            ASSERT_NE(at, std::string::npos) << line;
            // The command's README entry runs to the next entry.
            const auto end = readme.find("veltrano-cli ", at + line.size());
            EXPECT_NE(readme.substr(at, end - at).find(o), std::string::npos) << o;
        }
    }
}

// Locales compiled for the tests (the machine may have none but C): LOCPATH, or empty when
// localedef is not available.
std::string TestLocales() {
    static const std::string dir = [] {
        const fs::path d = fs::path(VELTRANO_BINARY_DIR) / "test-files" / "locales";
        for (const char* name : {"ru_RU", "en_US"}) {
            if (fs::exists(d / (std::string(name) + ".UTF-8")))
                continue;
            fs::create_directories(d);
            const std::string cmd = std::string("localedef -i ") + name + " -f UTF-8 " +
                                    (d / (std::string(name) + ".UTF-8")).string() +
                                    " >/dev/null 2>&1";
            if (std::system(cmd.c_str()) != 0 && !fs::exists(d / (std::string(name) + ".UTF-8")))
                return std::string();
        }
        return d.string();
    }();
    return dir;
}

// The separator is the locale's; --decimal overrides it; no locale configured gives the comma.
TEST_F(Cli, DecimalSeparatorFollowsTheLocale) {
    const std::string locales = TestLocales();
    if (locales.empty())
        GTEST_SKIP() << "localedef is not available";
    ASSERT_EQ(Run("demo-image " + P("a.bin")).code, 0);
    struct Case {
        const char* env;
        const char* option;
        const char* text;  // the UOZ value 10.5 as shown
    } cases[] = {
        {"LC_ALL=ru_RU.UTF-8", "", "10,5"},
        {"LC_ALL=en_US.UTF-8", "", "10.5"},
        {"LANG=ru_RU.UTF-8 LC_NUMERIC=en_US.UTF-8", "", "10.5"},
        {"LC_ALL=en_US.UTF-8", "--decimal , ", "10,5"},
        {"LC_ALL=ru_RU.UTF-8", "--decimal . ", "10.5"},
        {"LC_ALL=C", "", "10,5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.env) + " " + c.option);
        const Result r = Run(std::string("show ") + c.option + P("a.bin") + " UOZ",
                             "LOCPATH=" + locales + " LANG= LC_ALL= LC_NUMERIC= " + c.env);
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_NE(r.out.find(c.text), std::string::npos);
        const std::string other = std::string(c.text) == "10,5" ? "10.5" : "10,5";
        EXPECT_EQ(r.out.find(other), std::string::npos);
    }
}

// diff: a table of edits on generated images, with the exit code and both outputs.
TEST_F(Cli, DiffReportsChangedCellsAndOtherBytes) {
    ASSERT_EQ(Run("demo-image --variant J5LS " + P("a.bin")).code, 0);
    const std::string a = Slurp(dir / "a.bin");
    RecordedMessages messages;
    Calibration cal;
    ASSERT_TRUE(
        OpenCalibrationBytes(std::vector<std::uint8_t>(a.begin(), a.end()), messages, cal, ','));
    const std::size_t pcn35 = cal.layout.StartAddrPCN + 4 * 16 + 2;  // X3Z5
    auto write = [&](const std::string& bytes) {
        std::ofstream(dir / "b.bin", std::ios::binary) << bytes;
    };
    std::string pcnEdit = a;
    pcnEdit[pcn35] = char(131);
    std::string codeEdit = a;
    codeEdit[0x1000] = char(codeEdit[0x1000] ^ 0x11);
    struct Case {
        const char* name;
        std::string b;
        bool fixChecksum;
        int code;
        std::string pcnLines;
        int otherBytes;
    };
    const std::string old35 = ByteText(TableScale::Pcn, std::uint8_t(a[pcn35]), 1, ',');
    const Case cases[] = {
        {"same", a, false, 0, "PCN 0\n", 0},
        {"pcn cell", pcnEdit, false, 1, "PCN 1\nX3Z5 " + old35 + " -> 1,02\n", 0},
        {"outside the tables", codeEdit, false, 0, "PCN 0\n", 1},
        {"pcn cell, checksum fixed", pcnEdit, true, 1, "PCN 1\nX3Z5 " + old35 + " -> 1,02\n", -1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        write(k.b);
        if (k.fixChecksum) {
            ASSERT_EQ(Run("checksum --fix " + P("b.bin")).code, 0);
        }
        const std::string b = Slurp(dir / "b.bin");
        int checksumBytes = 0;
        for (std::size_t i = 0xFFFA; i < 0x10000; ++i)
            checksumBytes += a[i] != b[i];
        const int other = k.otherBytes >= 0 ? k.otherBytes : checksumBytes;
        if (k.fixChecksum) {
            EXPECT_GT(checksumBytes, 0);
        }

        const Result text = Run("diff " + P("a.bin") + " " + P("b.bin"));
        EXPECT_EQ(text.code, k.code) << text.err;
        EXPECT_EQ(text.err, "");
        EXPECT_EQ(text.out.substr(0, k.pcnLines.size()), k.pcnLines);
        EXPECT_NE(text.out.find("\nBCN 0\nUOZ 0\nAFR 0\n"), std::string::npos) << text.out;

        const Result json = Run("diff --json " + P("a.bin") + " " + P("b.bin"));
        EXPECT_EQ(json.code, k.code);
        EXPECT_EQ(json.out.substr(0, 24), "{\"variant\": \"J5LS\", \"tab");
        EXPECT_NE(json.out.find("\"other_bytes\": " + std::to_string(other) + "}\n"),
                  std::string::npos)
            << json.out;
        if (k.code == 1) {
            EXPECT_NE(
                json.out.find("{\"name\": \"PCN\", \"cells\": [{\"column\": 3, \"row\": 5, "
                              "\"old\": \"" +
                              old35 + "\", \"new\": \"1,02\", \"old_byte\": " +
                              std::to_string(std::uint8_t(a[pcn35])) + ", \"new_byte\": 131}]}"),
                std::string::npos)
                << json.out;
        }
    }
}

TEST_F(Cli, DiffErrorsExitTwoWithAMessageOnStderr) {
    ASSERT_EQ(Run("demo-image --variant J7SPT " + P("a.bin")).code, 0);
    ASSERT_EQ(Run("demo-image --variant J7ES " + P("ls.bin")).code, 0);
    std::ofstream(dir / "short.bin", std::ios::binary) << std::string(100, 'x');
    const std::pair<std::string, std::string> cases[] = {
        {P("a.bin") + " " + P("missing.bin"), "missing.bin: no such file"},
        {P("a.bin") + " " + P("ls.bin"), "different variants: J7SPT and J7ES"},
        {P("short.bin") + " " + P("a.bin"), ""},
        {P("a.bin"), "expected 2 arguments"},
        {"--yaml " + P("a.bin") + " " + P("a.bin"), "unknown option --yaml"},
    };
    for (const auto& [args, message] : cases) {
        SCOPED_TRACE(args);
        const Result r = Run("diff " + args);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(r.err.empty());
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    }
}

}  // namespace
}  // namespace veltrano
