#include "calibration/link_tables.h"

namespace veltrano {
namespace {
void Copy(const TFirmware& fw, std::uint16_t start, std::span<std::uint8_t> out) {
    for (std::size_t k = 0; k < out.size(); ++k)
        out[k] = fw.Byte(start + k);
}
}  // namespace

LinkTableImages LinkTablesFromImage(const TFirmware& firmware, const FirmwareLayout& layout) {
    LinkTableImages out;
    Copy(firmware, layout.StartAddrPCN, out.TablePCN);
    Copy(firmware, layout.StartAddrBCN, out.TableBCN);
    Copy(firmware, layout.StartAddrUOZ, out.TableUOZ);
    Copy(firmware, layout.StartAddrAFR, out.TableAFR);
    if (layout.firmwareName == "J7ES") {
        out.TablePcn_32x32.resize(1024);
        Copy(firmware, layout.StartAddrPcn_32x32, out.TablePcn_32x32);
    }
    out.TableFirmwareOlt = firmware.FFirmwareWriteOlt;
    return out;
}

}  // namespace veltrano
