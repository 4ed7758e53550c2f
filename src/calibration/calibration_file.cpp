#include "calibration/calibration_file.h"

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <map>

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

#include "calibration/calibration_texts.h"
#include "calibration/table_catalogue.h"

namespace veltrano {
namespace {

bool OpenLoaded(TFirmware firmware, Calibration& current, char sep) {
    Calibration next;
    next.firmware = std::move(firmware);
    IdentifyFirmware(next.firmware, next.layout);
    LoadFirmwareLayout(next.firmware, next.layout);
    FillGridsAtOpen(next.firmware, next.layout, next.grids, sep);
    next.layout.FirmwareLoaded = true;
    current = std::move(next);
    return true;
}

struct SavedTable {
    const TextGrid* grid;
    TableScale scale;
    std::uint16_t start;
    int n;
};

std::vector<SavedTable> SavedTables(const Calibration& c) {
    const FirmwareLayout& l = c.layout;
    std::vector<SavedTable> out = {
        {&c.grids.SG_PCN, TableScale::Pcn, l.StartAddrPCN, 16},
        {&c.grids.SG_BCN, TableScale::Bcn, l.StartAddrBCN, 16},
        {&c.grids.SG_UOZ, TableScale::Uoz, l.StartAddrUOZ, 16},
    };
    if (l.firmwareName == "J7ES" && l.FlagPcnDad32x32) {
        out.push_back({&c.grids.SG_PCN_32x32, TableScale::Pcn, l.StartAddrPcn_32x32, 32});
    }
    // Address 0 is where the layout left a table undefined: that is code, not a table.
    std::erase_if(out, [](const SavedTable& t) { return t.start == 0; });
    return out;
}

// Every cell's byte into the image. Where grids overlap (SG_PCN shows the first bytes of the
// 32x32 table on some images) the cell set last decides the byte.
void WriteTables(TFirmware& firmware, const std::vector<SavedTable>& tables, char sep) {
    struct Claim {
        std::uint64_t setAt;
        std::uint8_t byte;
    };
    std::map<std::size_t, Claim> claims;
    const int m = BcnMultiplier(firmware);
    for (const SavedTable& t : tables) {
        for (int r = 1; r <= t.n; ++r) {
            for (int c = 1; c <= t.n; ++c) {
                const std::size_t addr = t.start + static_cast<std::size_t>(r - 1) * t.n + (c - 1);
                const std::uint64_t at = t.grid->SetAt(c, r);
                auto it = claims.find(addr);
                if (it != claims.end() && it->second.setAt > at)
                    continue;
                claims[addr] = {at, *CellByte(*t.grid, c, r, t.scale, m, sep)};
            }
        }
    }
    std::vector<std::uint8_t>& image = firmware.FFirmwareData;
    for (const auto& [addr, claim] : claims) {
        if (addr < image.size())
            image[addr] = claim.byte;
    }
}

#ifdef _WIN32
int OpenNew(const std::string& path) {
    return ::_open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
int Sync(int fd) {
    return ::_commit(fd);
}
#else
int OpenNew(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}
int Sync(int fd) {
    return ::fsync(fd);
}
#endif

// Writes the whole file and flushes it to the disk before it may replace anything.
bool WriteAndSync(const std::string& path, std::span<const std::uint8_t> bytes) {
    const int fd = OpenNew(path);
    if (fd < 0)
        return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    const bool ok = done == bytes.size() && Sync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

}  // namespace

bool OpenCalibration(const std::string& path, Messages& messages, Calibration& current, char sep) {
    TFirmware firmware;
    if (!firmware.LoadFirmware(path, messages))
        return false;
    return OpenLoaded(std::move(firmware), current, sep);
}

bool OpenCalibrationBytes(std::vector<std::uint8_t> bytes, Messages& messages, Calibration& current,
                          char sep) {
    TFirmware firmware;
    if (!firmware.LoadFirmwareBytes(std::move(bytes), messages))
        return false;
    return OpenLoaded(std::move(firmware), current, sep);
}

bool EncodeGridsForSave(Calibration& current, Messages& messages, char sep) {
    if (!current.layout.FirmwareLoaded)
        return false;
    const std::vector<SavedTable> tables = SavedTables(current);
    for (const SavedTable& t : tables) {
        if (auto error = CheckTable(*t.grid, t.n, sep)) {
            messages.Warning(CellErrorMessage(*error));
            return false;
        }
    }
    WriteTables(current.firmware, tables, sep);
    TFirmware::CorrectCRC(current.firmware.FFirmwareData);
    return true;
}

bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                         Messages& messages) {
    static std::atomic<unsigned> counter{0};
    const std::string temp =
        path + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(counter.fetch_add(1));
    bool ok = WriteAndSync(temp, bytes);
    std::error_code ec;
    if (ok) {
        std::filesystem::rename(temp, path, ec);
        ok = !ec;
    }
    if (!ok) {
        std::filesystem::remove(temp, ec);
        messages.Warning(std::string(texts::kWriteFailed) + " " + path);
    }
    return ok;
}

bool SaveCalibration(Calibration& current, const std::string& path, Messages& messages, char sep) {
    if (!EncodeGridsForSave(current, messages, sep))
        return false;
    return WriteFileAtomically(path, current.firmware.FFirmwareData, messages);
}

}  // namespace veltrano
