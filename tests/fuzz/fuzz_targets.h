// The fuzz targets' entry functions. Each takes one arbitrary input and returns 0; a fault
// shows as a sanitizer report or a failed check (abort). The libFuzzer binaries call one
// each; the corpus replay test calls them all on the committed corpus.
#pragma once

#include <cstdint>
#include <span>

namespace veltrano::fuzz {

using Bytes = std::span<const std::uint8_t>;

int LinkAnswer(Bytes data);
int LiveBlocks(Bytes data);
int TroubleCodes(Bytes data);
int Lc1Stream(Bytes data);
int AemLines(Bytes data);
int Firmware(Bytes data);
int Settings(Bytes data);
int LogRow(Bytes data);

struct Target {
    const char* name;  // folder under tests/fuzz/corpus and the suffix of fuzz_<name>
    int (*run)(Bytes);
};

inline constexpr Target kTargets[] = {
    {"link_answer", LinkAnswer}, {"live_blocks", LiveBlocks}, {"trouble_codes", TroubleCodes},
    {"lc1_stream", Lc1Stream},   {"aem_lines", AemLines},     {"firmware", Firmware},
    {"settings", Settings},      {"log_row", LogRow},
};

// Aborts with a message when `ok` is false: a broken invariant is a finding.
void Check(bool ok, const char* what);

}  // namespace veltrano::fuzz
