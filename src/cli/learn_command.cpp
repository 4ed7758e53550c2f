#include "cli/learn_command.h"

#include <iostream>
#include <map>
#include <sstream>

#include "analysis/log_reader.h"
#include "analysis/offline_learning.h"
#include "cli/cli_messages.h"
#include "cli/cli_support.h"
#include "common/text_forms.h"

namespace veltrano::cli {
namespace {

constexpr char kSep = ',';

// Stable names of the gates for scripts, in the enum's order.
constexpr const char* kGateKeys[kLearningGateCount] = {
    "samples",     "learning_off", "no_write_target", "no_source",      "coolant",
    "fuel_cut",    "throttle",     "transient",       "not_stationary", "no_target_afr",
    "no_wideband", "o2_not_ready", "o2_zone",         "cell_not_number"};

std::optional<int> InRange(const std::string& text, SpinRange range) {
    const auto v = ParseInteger(text);
    if (!v || *v < range.min || *v > range.max)
        return std::nullopt;
    return static_cast<int>(*v);
}

struct LearnArgs {
    std::string image;
    std::string log;
    std::string out;
    bool json = false;
    LearningOptions options;
};

std::optional<LearnArgs> Parse(const Args& args, std::string* error) {
    static const std::map<std::string, LambdaSource> sources = {
        {"shdk", LambdaSource::Shdk}, {"voltdk", LambdaSource::VoltDk}, {"dk", LambdaSource::Dk}};
    static const std::map<std::string, LearningMode> modes = {{"alg2", LearningMode::Alg2},
                                                              {"precise", LearningMode::Precise}};
    const Parsed p = ParseArgs(
        args, {"--json"},
        {"--image", "--log", "--source", "--mode", "--hits", "--stationary", "--coolant", "--out"},
        0);
    if (!p.error.empty()) {
        *error = p.error;
        return std::nullopt;
    }
    LearnArgs a;
    a.json = p.flags.count("--json") > 0;
    a.options.source = LambdaSource::Shdk;
    a.options.target = WriteTarget::Olt;
    auto value = [&p](const char* name) {
        const auto it = p.values.find(name);
        return it == p.values.end() ? std::optional<std::string>() : it->second;
    };
    a.image = value("--image").value_or("");
    a.log = value("--log").value_or("");
    a.out = value("--out").value_or("");
    if (a.image.empty() || a.log.empty()) {
        *error = "--image and --log are required";
        return std::nullopt;
    }
    if (const auto s = value("--source")) {
        if (!sources.count(*s)) {
            *error = "bad value for --source: " + *s;
            return std::nullopt;
        }
        a.options.source = sources.at(*s);
    }
    if (const auto m = value("--mode")) {
        if (!modes.count(*m)) {
            *error = "bad value for --mode: " + *m;
            return std::nullopt;
        }
        a.options.mode = modes.at(*m);
    }
    const struct {
        const char* name;
        SpinRange range;
        int* field;
    } numbers[] = {{"--hits", kHitsPerPointRange, &a.options.hitsPerPoint},
                   {"--stationary", kStationaryRange, &a.options.stationaryRecords},
                   {"--coolant", kLearnCoolantRange, &a.options.learnCoolant}};
    for (const auto& n : numbers) {
        const auto text = value(n.name);
        if (!text)
            continue;
        const auto v = InRange(*text, n.range);
        if (!v) {
            *error = std::string("bad value for ") + n.name + ": " + *text;
            return std::nullopt;
        }
        *n.field = *v;
    }
    return a;
}

void PrintText(const LogReadResult& log, const OfflineLearningResult& r, const LearnArgs& a) {
    std::cout << "records read: " << r.records << '\n'
              << "rows skipped: " << log.skippedRows << '\n'
              << "samples: " << r.samples << '\n'
              << "updates: " << r.updates << '\n'
              << "cells changed: " << r.cellsChanged << '\n'
              << "refused by gate:\n";
    for (std::size_t g = 1; g < kLearningGateCount; ++g) {
        if (r.gates[g] > 0) {
            std::cout << "  " << GateText(static_cast<LearningGate>(g), a.options) << ": "
                      << r.gates[g] << '\n';
        }
    }
    std::cout << "not in the log:\n";
    for (const std::string& s : r.standIns)
        std::cout << "  - " << s << '\n';
}

void PrintJson(const LogReadResult& log, const OfflineLearningResult& r, const LearnArgs& a) {
    std::ostringstream o;
    o << "{\"records\": " << r.records << ", \"rowsSkipped\": " << log.skippedRows
      << ", \"samples\": " << r.samples << ", \"updates\": " << r.updates
      << ", \"cellsChanged\": " << r.cellsChanged << ", \"refused\": {";
    for (std::size_t g = 1; g < kLearningGateCount; ++g) {
        o << (g > 1 ? ", " : "") << JsonString(kGateKeys[g])
          << ": {\"text\": " << JsonString(GateText(static_cast<LearningGate>(g), a.options))
          << ", \"records\": " << r.gates[g] << "}";
    }
    o << "}, \"notInLog\": [";
    for (std::size_t i = 0; i < r.standIns.size(); ++i)
        o << (i ? ", " : "") << JsonString(r.standIns[i]);
    o << "], \"out\": " << (a.out.empty() ? "null" : JsonString(a.out)) << "}\n";
    std::cout << o.str();
}

}  // namespace

int Learn(const Args& args) {
    std::string error;
    const auto a = Parse(args, &error);
    if (!a)
        return Fail("learn: " + error);
    SetDecimalSeparator(kSep);
    Calibration cal;
    if (!OpenImage(a->image, cal, kSep))
        return 1;
    const LogReadResult log = ReadSessionLog(a->log);
    if (!log.ok) {
        Fail(a->log + ": " + log.error);
        return 1;
    }
    const OfflineLearningResult r = LearnFromLog(
        log.table, cal.grids, LearningImageFrom(cal.firmware, cal.layout), a->options, kSep);
    if (!r.ok) {
        Fail("learn: " + r.error);
        return 1;
    }
    if (!a->out.empty()) {
        // Only the fuel table is proposed; the other tables keep their bytes.
        cal.grids.SG_PCN = r.SG_PCN;
        StderrMessages messages;
        if (!SaveCalibration(cal, a->out, messages, kSep)) {
            if (messages.warnings == 0)
                Fail("learn: cannot save " + a->out);
            return 1;
        }
    }
    if (a->json)
        PrintJson(log, r, *a);
    else
        PrintText(log, r, *a);
    if (!a->out.empty() && !a->json)
        std::cout << "written: " << a->out << '\n';
    return 0;
}

}  // namespace veltrano::cli
