#include "learning/table_transfer.h"

#include <algorithm>

#include "calibration/link_tables.h"
#include "common/text_forms.h"

namespace veltrano {
namespace {

std::optional<CellError> Store(const TextGrid& grid, TableScale scale, int bcnMultiplier,
                               std::array<std::uint8_t, 256>& out, char sep) {
    EncodedTable enc = EncodeTableBytes(grid, scale, 16, bcnMultiplier, sep);
    if (enc.error)
        return enc.error;
    if (enc.bytes.size() != out.size())
        return CellError{};
    std::copy(enc.bytes.begin(), enc.bytes.end(), out.begin());
    return std::nullopt;
}

constexpr std::uint16_t kAddrTzar = 0x8C27;
constexpr std::uint16_t kAddrTableOlt = 0x71D8;

}  // namespace

std::optional<CellError> StorePcnTable(const TextGrid& SG_PCN, LinkTables& t, char sep) {
    return Store(SG_PCN, TableScale::Pcn, 1, t.TablePCN, sep);
}
std::optional<CellError> StoreAfrTable(const TextGrid& SG_AFR, LinkTables& t, char sep) {
    return Store(SG_AFR, TableScale::Afr, 1, t.TableAFR, sep);
}
std::optional<CellError> StoreUozTable(const TextGrid& SG_UOZ, LinkTables& t, char sep) {
    return Store(SG_UOZ, TableScale::Uoz, 1, t.TableUOZ, sep);
}
std::optional<CellError> StoreBcnTable(const TextGrid& SG_BCN, LinkTables& t, int bcnMultiplier,
                                       char sep) {
    return Store(SG_BCN, TableScale::Bcn, bcnMultiplier, t.TableBCN, sep);
}

void LoadLinkTables(const TFirmware& firmware, const FirmwareLayout& layout, LearningLink& link) {
    if (!layout.FirmwareLoaded)
        return;
    const LinkTableImages images = LinkTablesFromImage(firmware, layout);
    link.WithTables([&](LinkTables& t) {
        t.StartAddrAFR = layout.StartAddrAFR;
        t.StartAddrUOZ = layout.StartAddrUOZ;
        t.StartAddrPCN = layout.StartAddrPCN;
        t.StartAddrBCN = layout.StartAddrBCN;
        t.StartAddrPcn_32x32 = kAddrPcnDad32;
        t.TablePCN = images.TablePCN;
        t.TableBCN = images.TableBCN;
        t.TableUOZ = images.TableUOZ;
        t.TableAFR = images.TableAFR;
        t.TableFirmwareOlt = images.TableFirmwareOlt;
        if (layout.firmwareName == "J7ES") {
            const std::size_t n = std::min(images.TablePcn_32x32.size(), t.TablePcn_32x32.size());
            std::copy_n(images.TablePcn_32x32.begin(), n, t.TablePcn_32x32.begin());
            t.StartAddrTZar = kAddrTzar;
            for (std::size_t i = 0; i < t.TableTzar.size(); ++i) {
                t.TableTzar[i] = firmware.Byte(kAddrTzar + i);
            }
        }
    });
    link.ClearFirmwareRequests();
}

namespace {

// The RAM part; false when the whole operation stops here.
bool ApplyRam(const ApplyInputs& in, const CalibrationGrids& grids, LearningLink& link,
              ApplyResult& out) {
    const bool ram = in.target == WriteTarget::RamPcn;
    const bool ramUoz = in.target == WriteTarget::RamUoz;
    if (!in.firmwareLoaded || !(ram || ramUoz))
        return true;
    if (in.page == kPagePCN) {
        if (ramUoz)
            return false;
        link.WithTables([&](LinkTables& t) { out.error = StorePcnTable(grids.SG_PCN, t, in.sep); });
        if (out.error)
            return false;
        link.Raise(LinkRequest::PCN_RAM);
        out.raised.push_back(LinkRequest::PCN_RAM);
    } else if (in.page == kPageUOZ) {
        if (ram)
            return false;
        link.WithTables([&](LinkTables& t) {
            out.error = StoreUozTable(grids.SG_UOZ, t, in.sep);
            if (!out.error)
                t.RamId = in.flagDadUozAfr ? 0x12 : 0x05;
        });
        if (out.error)
            return false;
        link.Raise(LinkRequest::UOZ_DAD_RAM);
        out.raised.push_back(LinkRequest::UOZ_DAD_RAM);
    }
    return true;
}

void ApplyOlt(const ApplyInputs& in, const CalibrationGrids& grids, LearningLink& link,
              ApplyResult& out) {
    if (!link.Running() || !in.firmwareLoaded || !link.OltMode())
        return;
    std::optional<LinkRequest> request;
    link.WithTables([&](LinkTables& t) {
        switch (in.page) {
            case kPageBCN:
                out.error = StoreBcnTable(grids.SG_BCN, t, in.bcnMultiplier, in.sep);
                request = LinkRequest::BCN;
                break;
            case kPagePCN:
                out.error = StorePcnTable(grids.SG_PCN, t, in.sep);
                request = LinkRequest::PCN;
                break;
            case kPageAFR:
                out.error = StoreAfrTable(grids.SG_AFR, t, in.sep);
                request = LinkRequest::AFR;
                break;
            case kPageUOZ:
                if (in.target != WriteTarget::Olt)
                    return;
                out.error = StoreUozTable(grids.SG_UOZ, t, in.sep);
                request = LinkRequest::UOZ;
                break;
            case kPageDATA: {
                std::vector<std::uint8_t> bytes(16);
                for (int i = 0; i < 16 && !out.error; ++i) {
                    const std::string& text = grids.RzStringGrid1.Cell(i, 1);
                    const auto b =
                        CellByte(grids.RzStringGrid1, i, 1, TableScale::InjDynamic, 1, in.sep);
                    if (!b)
                        out.error = CellError{i, 1, text};
                    if (b)
                        bytes[i] = *b;
                }
                if (out.error)
                    return;
                t.TableOLT = std::move(bytes);
                t.StartAddrTableOLT = kAddrTableOlt;
                request = LinkRequest::TableOLT;
                break;
            }
            default:
                return;
        }
        if (out.error)
            request.reset();
    });
    if (!request)
        return;
    link.Raise(*request);
    out.raised.push_back(*request);
}

}  // namespace

ApplyResult ApplyChanges(const ApplyInputs& in, const CalibrationGrids& grids, LearningLink* link) {
    ApplyResult out;
    if (link == nullptr)
        return out;
    if (!ApplyRam(in, grids, *link, out))
        return out;
    ApplyOlt(in, grids, *link, out);
    return out;
}

void SwitchPcnTable(bool checked, TFirmware& firmware, FirmwareLayout& layout,
                    CalibrationGrids& grids, bool ecuConnected, LearningLink* link, char sep) {
    if (checked) {
        layout.FlagPcnGridDad = false;
        layout.StartAddrPCN = kAddrPcnTrt;
    } else {
        layout.FlagPcnGridDad = true;
        const std::string& name = layout.firmwareName;
        if (name == "J7ES")
            layout.StartAddrPCN = 0x9294;
        if (name == "J5LS")
            layout.StartAddrPCN = 0x8E2A;
        if (name == "J5TRS" || name == "J7TRS")
            layout.StartAddrPCN = 0x736D;
    }
    GetPCN(firmware, grids.SG_PCN, layout.StartAddrPCN, sep);
    if (ecuConnected && link != nullptr) {
        LoadLinkTables(firmware, layout, *link);
        link->WithTables([&](LinkTables& t) {
            t.StartAddrAFR = layout.StartAddrAFR;
            t.StartAddrUOZ = layout.StartAddrUOZ;
            t.StartAddrPCN = layout.StartAddrPCN;
            t.StartAddrBCN = layout.StartAddrBCN;
        });
    }
    const auto& axis = checked ? firmware.FThrottleAxis : firmware.FDADAxis;
    for (int r = 1; r <= 16; ++r) {
        grids.SG_PCN.SetCell(0, r, IntegerText(axis[r - 1]));
        grids.RzStringGrid2.SetCell(0, r, IntegerText(axis[r - 1]));
    }
}

}  // namespace veltrano
