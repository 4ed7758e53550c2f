// libFuzzer's entry point for one target, chosen at compile time by VELTRANO_FUZZ_ENTRY.
#include <cstddef>
#include <cstdint>

#include "fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return veltrano::fuzz::VELTRANO_FUZZ_ENTRY(veltrano::fuzz::Bytes(data, size));
}
