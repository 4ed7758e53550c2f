// Firmware loading, identification, layout and the fill of every grid on arbitrary images,
// then the save path's encoding and the checksum.
#include <map>
#include <vector>

#include "calibration/calibration_file.h"
#include "calibration/demo_image.h"
#include "calibration/link_tables.h"
#include "fuzz_input.h"
#include "fuzz_targets.h"

namespace veltrano::fuzz {
namespace {

// A generated image of one variant with its option bits, made once per key.
const std::vector<std::uint8_t>& DemoBase(std::uint8_t key) {
    static std::map<std::uint8_t, std::vector<std::uint8_t>> cache;
    auto it = cache.find(key);
    if (it != cache.end())
        return it->second;
    DemoImageOptions o;
    const auto& variants = DemoVariants();
    o.variant = variants[key % variants.size()];
    o.dad = key & 0x08;
    o.dadUozAfr = key & 0x10;
    o.pcn32 = key & 0x20;
    o.pcnDad32x32 = key & 0x20;
    o.j7esThrottleOverride = key & 0x40;
    o.j7esAltProbe = key & 0x80;
    return cache.emplace(key, MakeDemoImage(o)).first->second;
}

// The rest of the input repeated over the whole image.
void Tile(std::vector<std::uint8_t>& image, Bytes pattern) {
    for (std::size_t k = 0; !pattern.empty() && k < image.size(); ++k)
        image[k] = pattern[k % pattern.size()];
}

// Byte 0: the base (zeros, 0xFF, a generated image keyed by byte 1, or with bit 7 the rest of
// the input tiled); bytes 2..3: bytes beyond 64 KiB; then patches of [address high, address
// low, length, bytes...].
std::vector<std::uint8_t> MakeImage(FuzzInput& in) {
    const std::uint8_t base = in.Byte();
    const std::uint8_t key = in.Byte();
    const std::size_t extra = in.Raw<std::uint16_t>();
    std::vector<std::uint8_t> image;
    if (base % 3 == 2)
        image = DemoBase(key);
    image.resize(kMinImageSize + extra, base % 3 == 1 ? 0xFF : 0x00);
    if (base & 0x80) {
        Tile(image, in.Rest());
        return image;
    }
    while (!in.Empty()) {
        const std::size_t addr = static_cast<std::size_t>(in.Byte()) << 8 | in.Byte();
        const auto bytes = in.Take(in.Byte());
        for (std::size_t k = 0; k < bytes.size() && addr + k < image.size(); ++k)
            image[addr + k] = bytes[k];
    }
    return image;
}

// An image shorter than 64 KiB is refused and changes nothing.
void CheckShortImage(Bytes data) {
    SilentMessages messages;
    Calibration cal;
    cal.layout.firmwareName = "kept";
    const std::vector<std::uint8_t> bytes(data.begin(), data.end());
    Check(!OpenCalibrationBytes(bytes, messages, cal, ','), "short image refused");
    Check(cal.layout.firmwareName == "kept", "short image changes nothing");
}

}  // namespace

int Firmware(Bytes data) {
    if (data.size() < kMinImageSize)
        CheckShortImage(data);
    FuzzInput in(data);
    std::vector<std::uint8_t> image = MakeImage(in);
    const std::size_t size = image.size();
    SilentMessages messages;
    Calibration cal;
    const char sep = size % 2 ? ',' : '.';
    Check(OpenCalibrationBytes(image, messages, cal, sep), "an image of 64 KiB opens");
    Check(cal.firmware.FFirmwareData.size() == size, "image kept whole");
    LinkTablesFromImage(cal.firmware, cal.layout);
    cal.firmware.GBCAxis();
    EncodeGridsForSave(cal, messages, sep);
    Check(cal.firmware.FFirmwareData.size() == size, "save keeps the size");
    TFirmware::CorrectCRC(image);
    Check(TFirmware::ChecksumCorrect(image), "corrected checksum holds");
    return 0;
}

}  // namespace veltrano::fuzz
