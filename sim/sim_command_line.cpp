#include "sim/sim_command_line.h"

#include <array>
#include <cstdlib>
#include <functional>
#include <map>
#include <sstream>

#include "sim/sim_files.h"

namespace veltrano {
namespace {

bool ToDouble(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end != nullptr && *end == '\0';
}

bool ToInt(const std::string& text, int& value) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 0);
    value = static_cast<int>(v);
    return !text.empty() && end != nullptr && *end == '\0' && v >= -1 && v <= 1000000;
}

bool ParseCodes(const std::string& text, std::vector<std::uint16_t>& codes) {
    codes.clear();
    if (text == "none") {
        return true;
    }
    std::stringstream list(text);
    std::string item;
    while (std::getline(list, item, ',')) {
        if (!item.empty() && (item[0] == 'P' || item[0] == 'p')) {
            item.erase(0, 1);
        }
        char* end = nullptr;
        const long v = std::strtol(item.c_str(), &end, 16);
        if (item.empty() || *end != '\0' || v < 0 || v > 0xFFFF) {
            return false;
        }
        codes.push_back(static_cast<std::uint16_t>(v));
    }
    return true;
}

using Flag = std::function<void(SimCommandLine&)>;
using Valued = std::function<bool(SimCommandLine&, const std::string&, std::string&)>;

bool Int(const std::string& v, int& target) {
    return ToInt(v, target);
}

const std::map<std::string, Flag>& Flags() {
    static const std::map<std::string, Flag> flags = {
        {"--help", [](SimCommandLine& c) { c.help = true; }},
        {"--wire-timing", [](SimCommandLine& c) { c.ecu.wireTiming = true; }},
        {"--no-wire-timing", [](SimCommandLine& c) { c.ecu.wireTiming = false; }},
        {"--drop-all", [](SimCommandLine& c) { c.faults.dropAll = true; }},
        {"--corrupt-checksum", [](SimCommandLine& c) { c.faults.corruptChecksum = true; }},
        {"--no-echo", [](SimCommandLine& c) { c.faults.noEcho = true; }},
        {"--split-answer", [](SimCommandLine& c) { c.faults.splitAnswer = true; }},
        {"--bare-write-answer", [](SimCommandLine& c) { c.ecu.bareWriteAnswer = true; }},
        {"--lenient", [](SimCommandLine& c) { c.ecu.lenient = true; }},
        {"--wrong-write-address", [](SimCommandLine& c) { c.faults.wrongWriteAddress = true; }},
        {"--lambda-garbage", [](SimCommandLine& c) { c.lambdaFaults.garbage = true; }},
        {"--lambda-warmup", [](SimCommandLine& c) { c.lambdaFaults.warmupPackets = true; }},
        {"--lambda-truncate", [](SimCommandLine& c) { c.lambdaFaults.truncated = true; }},
        {"--lambda-silent", [](SimCommandLine& c) { c.lambdaFaults.silence = true; }},
    };
    return flags;
}

const std::map<std::string, Valued>& Valueds() {
    static const std::map<std::string, Valued> options = {
        {"--image",
         [](SimCommandLine& c, const std::string& v, std::string& e) {
             c.imagePath = v;
             return ReadImageFile(v, c.ecu.image, e);
         }},
        {"--dump-memory",
         [](SimCommandLine& c, const std::string& v, std::string&) {
             c.dumpPath = v;
             return !v.empty();
         }},
        {"--lambda",
         [](SimCommandLine& c, const std::string& v, std::string&) {
             if (v == "none") {
                 c.lambda.reset();
             } else if (v == "lc1" || v == "aem") {
                 c.lambda = v == "lc1" ? LambdaKind::Lc1 : LambdaKind::Aem;
             } else {
                 return false;
             }
             return true;
         }},
        {"--answer-delay",
         [](SimCommandLine& c, const std::string& v, std::string&) {
             return Int(v, c.ecu.answerDelayMs) && c.ecu.answerDelayMs >= 0;
         }},
        {"--baud", [](SimCommandLine& c, const std::string& v,
                      std::string&) { return Int(v, c.ecu.startBaud) && c.ecu.startBaud > 0; }},
        {"--true-ve-error", [](SimCommandLine& c, const std::string& v,
                               std::string&) { return ToDouble(v, c.ecu.trueVeErrorPercent); }},
        {"--true-ve-surface",
         [](SimCommandLine& c, const std::string& v, std::string& e) {
             std::array<double, 256> cells{};
             if (!ReadSurfaceFile(v, cells, e)) {
                 return false;
             }
             c.ecu.trueVeSurface = cells;
             return true;
         }},
        {"--script", [](SimCommandLine& c, const std::string& v,
                        std::string& e) { return ReadScriptFile(v, c.ecu.script, e); }},
        {"--hold",
         [](SimCommandLine& c, const std::string& v, std::string&) {
             std::stringstream fields(v);
             std::string rpm, throttle, kpa;
             ScriptStep step;
             if (!std::getline(fields, rpm, ',') || !std::getline(fields, throttle, ',') ||
                 !std::getline(fields, kpa) || !ToDouble(rpm, step.point.rpm) ||
                 !ToDouble(throttle, step.point.throttle) || !ToDouble(kpa, step.point.pressure)) {
                 return false;
             }
             c.ecu.script = {step};
             return true;
         }},
        {"--seed",
         [](SimCommandLine& c, const std::string& v, std::string&) {
             int seed = 0;
             if (!Int(v, seed) || seed < 0) {
                 return false;
             }
             c.ecu.seed = static_cast<unsigned>(seed);
             return true;
         }},
        {"--coolant", [](SimCommandLine& c, const std::string& v,
                         std::string&) { return ToDouble(v, c.ecu.coolantStart); }},
        {"--warmup",
         [](SimCommandLine& c, const std::string& v, std::string&) {
             return ToDouble(v, c.ecu.warmupSeconds) && c.ecu.warmupSeconds >= 0;
         }},
        {"--afr-noise",
         [](SimCommandLine& c, const std::string& v, std::string&) {
             return ToDouble(v, c.ecu.afrNoise) && c.ecu.afrNoise >= 0;
         }},
        {"--dtc", [](SimCommandLine& c, const std::string& v,
                     std::string&) { return ParseCodes(v, c.ecu.troubleCodes); }},
        {"--drop-answers",
         [](SimCommandLine& c, const std::string& v, std::string&) {
             return Int(v, c.faults.dropNext) && c.faults.dropNext >= 0;
         }},
        {"--extra-bytes",
         [](SimCommandLine& c, const std::string& v, std::string&) {
             return Int(v, c.faults.extraBytes) && c.faults.extraBytes >= 0;
         }},
        {"--negative",
         [](SimCommandLine& c, const std::string& v, std::string&) {
             int code = 0;
             const bool ok = Int(v, code) && code > 0 && code <= 255;
             c.faults.negativeCode = static_cast<std::uint8_t>(code);
             return ok;
         }},
        {"--stop-after",
         [](SimCommandLine& c, const std::string& v, std::string&) {
             return Int(v, c.faults.stopAfter) && c.faults.stopAfter >= 0;
         }},
        {"--fault-service",
         [](SimCommandLine& c, const std::string& v, std::string&) {
             return Int(v, c.faults.onlyService) && c.faults.onlyService >= 0 &&
                    c.faults.onlyService <= 255;
         }},
        {"--lambda-error",
         [](SimCommandLine& c, const std::string& v, std::string&) {
             c.lambdaFaults.errorPackets = true;
             return Int(v, c.lambdaFaults.errorCode) && c.lambdaFaults.errorCode >= 0;
         }},
        {"--lambda-fault-period",
         [](SimCommandLine& c, const std::string& v, std::string&) {
             return Int(v, c.lambdaFaults.period) && c.lambdaFaults.period >= 1;
         }},
        {"--lambda-afr",
         [](SimCommandLine& c, const std::string& v, std::string&) {
             double afr = 0.0;
             const bool ok = ToDouble(v, afr) && afr > 0.0;
             c.lambdaAfr = afr;
             return ok;
         }},
    };
    return options;
}

}  // namespace

bool ParseSimCommandLine(const std::vector<std::string>& args, SimCommandLine& out,
                         std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (auto flag = Flags().find(name); flag != Flags().end()) {
            flag->second(out);
            continue;
        }
        auto option = Valueds().find(name);
        if (option == Valueds().end()) {
            error = "unknown option " + name;
            return false;
        }
        if (i + 1 >= args.size()) {
            error = name + " needs a value";
            return false;
        }
        const std::string& value = args[++i];
        std::string detail;
        if (!option->second(out, value, detail)) {
            error = detail.empty() ? "bad value for " + name + ": " + value : detail;
            return false;
        }
    }
    return true;
}

const char* SimUsage() {
    return "usage: veltrano-sim [options]\n"
           "  prints 'ecu: DEVICE' and, with a wideband, 'lambda: DEVICE'; runs until\n"
           "  interrupted (SIGINT/SIGTERM)\n"
           "ECU:     --image FILE  --dump-memory FILE  --baud N (10400)  --answer-delay MS (25)\n"
           "         --wire-timing | --no-wire-timing  --dtc P0130,P0340|none\n"
           "         --bare-write-answer (confirm writes with 7D alone, no address)\n"
           "         --lenient (answer any service at any time, ignore the line speed)\n"
           "engine:  --true-ve-error PERCENT  --true-ve-surface FILE (16 rows of 16 percents)\n"
           "         --script FILE (lines: seconds rpm throttle kPa [km/h])  --seed N\n"
           "         --hold RPM,THROTTLE,KPA (a fixed operating point)\n"
           "         --coolant C (20)  --warmup SECONDS (180)  --afr-noise AFR (0)\n"
           "faults:  --drop-answers N  --drop-all  --corrupt-checksum  --no-echo\n"
           "         --extra-bytes N  --split-answer  --negative CODE  --stop-after N\n"
           "         --fault-service SID (the answer faults hit only this service)\n"
           "         --wrong-write-address (write confirmations name the next address)\n"
           "lambda:  --lambda lc1|aem|none (lc1)  --lambda-afr AFR  --lambda-garbage\n"
           "         --lambda-error CODE  --lambda-warmup  --lambda-truncate  --lambda-silent\n"
           "         --lambda-fault-period N (1)\n";
}

}  // namespace veltrano
