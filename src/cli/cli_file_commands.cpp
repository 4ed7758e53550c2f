// checksum, resave and demo-image.
#include <algorithm>
#include <iostream>

#include "calibration/demo_image.h"
#include "cli/cli_commands.h"
#include "cli/cli_messages.h"
#include "cli/cli_support.h"

namespace veltrano::cli {

int Fail(const std::string& message) {
    std::cerr << "veltrano-cli: " << message << '\n';
    return 1;
}

int Checksum(const Args& args) {
    const Parsed p = ParseArgs(args, {"--fix"}, {}, 1);
    if (!p.error.empty())
        return Fail("checksum: " + p.error);
    Calibration c;
    if (!OpenImage(p.positional[0], c, ','))
        return 1;
    std::vector<std::uint8_t>& data = c.firmware.FFirmwareData;
    if (data.size() != kMinImageSize) {
        std::cout << "no checksum: the image is " << data.size() << " bytes, not 65536\n";
        return 0;
    }
    const bool ok = TFirmware::ChecksumCorrect(data);
    if (!p.flags.count("--fix")) {
        std::cout << (ok ? "checksum correct\n" : "checksum wrong\n");
        return ok ? 0 : 3;
    }
    if (ok) {
        std::cout << "checksum correct\n";
        return 0;
    }
    TFirmware::CorrectCRC(data);
    StderrMessages messages;
    if (!WriteFileAtomically(p.positional[0], data, messages))
        return 1;
    std::cout << "checksum corrected\n";
    return 0;
}

int Resave(const Args& args) {
    const Parsed p = ParseArgs(args, {}, {}, 2);
    if (!p.error.empty())
        return Fail("resave: " + p.error);
    Calibration c;
    if (!OpenImage(p.positional[0], c, ','))
        return 1;
    StderrMessages messages;
    return SaveCalibration(c, p.positional[1], messages, ',') ? 0 : 1;
}

int DemoImage(const Args& args) {
    const Parsed p = ParseArgs(args, {}, {"--variant", "--size"}, 1);
    if (!p.error.empty())
        return Fail("demo-image: " + p.error);
    DemoImageOptions options = DefaultDemoOptions();
    if (auto it = p.values.find("--variant"); it != p.values.end()) {
        const auto& names = DemoVariants();
        if (std::find(names.begin(), names.end(), it->second) == names.end()) {
            return Fail("demo-image: unknown variant " + it->second);
        }
        options.variant = it->second;
    }
    if (auto it = p.values.find("--size"); it != p.values.end()) {
        std::size_t size = 0;
        try {
            size = std::stoul(it->second);
        } catch (...) {
        }
        if (size < kMinImageSize || size > (1u << 24)) {
            return Fail("demo-image: --size must be from 65536 to 16777216");
        }
        options.size = size;
    }
    StderrMessages messages;
    return WriteFileAtomically(p.positional[0], MakeDemoImage(options), messages) ? 0 : 1;
}

}  // namespace veltrano::cli
