// Random sequences of edits, reverts, encodes, smoothing and saves on every variant: after each
// save the image holds, for every table byte, the byte of the cell set last over it: its pair's
// byte while its text is the pair's text, otherwise the encoding of its text.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>

#include "calibration/calibration_file.h"
#include "calibration/demo_image.h"
#include "calibration/table_catalogue.h"
#include "common/text_forms.h"
#include "editing/pcn_online.h"
#include "editing/table_transforms.h"
#include "learning/pcn_update.h"

namespace veltrano {
namespace {

constexpr char kSep = ',';

// The test's own picture of one saved table cell, kept apart from TextGrid.
struct ModelCell {
    std::uint8_t pairByte = 0;
    std::string pairText;
};

struct ModelTable {
    TextGrid* grid;
    TableScale scale;
    std::size_t start;
    int n;
    std::map<std::pair<int, int>, ModelCell> cells;
};

struct Setter {
    int table;
    int col;
    int row;
};

class Scenario {
  public:
    Scenario(const DemoImageOptions& options, unsigned seed) : rng_(seed) {
        SilentMessages quiet;
        original_ = MakeDemoImage(options);
        ok_ = OpenCalibrationBytes(original_, quiet, c_, kSep);
        if (!ok_)
            return;
        const FirmwareLayout& l = c_.layout;
        m_ = BcnMultiplier(c_.firmware);
        Add(&c_.grids.SG_PCN, TableScale::Pcn, l.StartAddrPCN, 16);
        Add(&c_.grids.SG_BCN, TableScale::Bcn, l.StartAddrBCN, 16);
        Add(&c_.grids.SG_UOZ, TableScale::Uoz, l.StartAddrUOZ, 16);
        if (l.firmwareName == "J7ES" && l.FlagPcnDad32x32)
            Add(&c_.grids.SG_PCN_32x32, TableScale::Pcn, l.StartAddrPcn_32x32, 32);
        ctx_.firmware = &c_.firmware;
        ctx_.layout = &c_.layout;
        ctx_.sep = kSep;
    }

    bool Opened() const { return ok_; }
    bool HasTables() const { return !tables_.empty(); }

    void Step(const std::filesystem::path& dir) {
        switch (Pick(9)) {
            case 0:
            case 1:
            case 2:
                Edit();
                break;
            case 3:
            case 4:
                TypeBack();
                break;
            case 5:
                Encode();
                break;
            case 6:
                SmoothOffline();
                break;
            case 7:
                OnlinePcn();
                break;
            default:
                Save(dir);
                break;
        }
    }

    // Saves and compares the file with the model; also counts cells never set since the open.
    void Save(const std::filesystem::path& dir) {
        SilentMessages quiet;
        const auto path = dir / "out.bin";
        ASSERT_TRUE(SaveCalibration(c_, path.string(), quiet, kSep));
        std::ifstream in(path, std::ios::binary);
        const std::vector<std::uint8_t> saved(std::istreambuf_iterator<char>(in), {});
        std::vector<std::uint8_t> want = original_;
        for (const auto& [addr, who] : lastSetter_) {
            if (addr < want.size())
                want[addr] = Expected(who);
        }
        TFirmware::CorrectCRC(want);
        ASSERT_EQ(saved.size(), want.size());
        for (std::size_t i = 0; i < want.size(); ++i) {
            ASSERT_EQ(saved[i], want[i]) << "byte 0x" << std::hex << i << " after " << log_;
        }
        for (const auto& [addr, who] : lastSetter_) {
            if (!touched_.contains(addr) && addr < saved.size()) {
                ASSERT_EQ(saved[addr], original_[addr]) << "untouched 0x" << std::hex << addr;
            }
        }
    }

  private:
    void Add(TextGrid* grid, TableScale scale, std::size_t start, int n) {
        if (start == 0)
            return;
        ModelTable t{grid, scale, start, n, {}};
        for (int r = 1; r <= n; ++r) {
            for (int c = 1; c <= n; ++c) {
                const std::uint8_t b = original_[start + (r - 1) * n + (c - 1)];
                t.cells[{c, r}] = {b, ByteText(scale, b, m_, kSep)};
            }
        }
        tables_.push_back(std::move(t));
        const int index = static_cast<int>(tables_.size()) - 1;
        for (int r = 1; r <= n; ++r) {
            for (int c = 1; c <= n; ++c)
                lastSetter_[Addr(index, c, r)] = {index, c, r};
        }
    }

    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    std::size_t Addr(int t, int c, int r) const {
        return tables_[t].start + static_cast<std::size_t>(r - 1) * tables_[t].n + (c - 1);
    }
    void Set(int t, int c, int r, const std::string& text) {
        tables_[t].grid->SetCell(c, r, text);
        Mark(t, c, r);
    }
    void Mark(int t, int c, int r) {
        lastSetter_[Addr(t, c, r)] = {t, c, r};
        touched_.insert(Addr(t, c, r));
    }

    std::uint8_t Expected(const Setter& who) const {
        const ModelTable& t = tables_[who.table];
        const ModelCell& cell = t.cells.at({who.col, who.row});
        const std::string& text = t.grid->Cell(who.col, who.row);
        if (text == cell.pairText)
            return cell.pairByte;
        return *TextByte(t.scale, text, m_, kSep);
    }

    std::string RandomText(TableScale scale) {
        switch (Pick(3)) {
            case 0:  // a displayed text: often equal to what some byte shows
                return ByteText(scale, static_cast<std::uint8_t>(Pick(256)), m_, kSep);
            case 1: {  // a general text in the table's range
                const double top = scale == TableScale::Bcn   ? 1300
                                   : scale == TableScale::Uoz ? 127
                                                              : 1.99;
                return GeneralText(std::uniform_real_distribution<double>(0, top)(rng_), kSep);
            }
            default:  // the classic lossy PCN values
                return scale == TableScale::Pcn ? (Pick(2) ? "0,02" : "0,05") : "8";
        }
    }

    void Edit() {
        const int t = Pick(static_cast<int>(tables_.size()));
        const int c = 1 + Pick(tables_[t].n);
        const int r = 1 + Pick(tables_[t].n);
        Set(t, c, r, RandomText(tables_[t].scale));
        log_ += "edit;";
    }

    // Types the text the cell was last shown from back in.
    void TypeBack() {
        const int t = Pick(static_cast<int>(tables_.size()));
        const int c = 1 + Pick(tables_[t].n);
        const int r = 1 + Pick(tables_[t].n);
        Set(t, c, r, tables_[t].cells[{c, r}].pairText);
        log_ += "back;";
    }

    void Encode() {
        SilentMessages quiet;
        ASSERT_TRUE(EncodeGridsForSave(c_, quiet, kSep));
        log_ += "encode;";
    }

    void SmoothOffline() {
        const int t = Pick(static_cast<int>(tables_.size()));
        if (tables_[t].n != 16 || tables_[t].scale == TableScale::Uoz)
            return;
        ASSERT_TRUE(SmoothTable(*tables_[t].grid, "##0.##", nullptr, kSep));
        for (int r = 1; r <= 16; ++r) {
            for (int c = 1; c <= 16; ++c) {
                const bool corner = (c == 1 || c == 16) && (r == 1 || r == 16);
                if (!corner)
                    Mark(t, c, r);
            }
        }
        log_ += "smooth;";
    }

    // The PCN tables on line: the learning's smoothing refresh (cells set from bytes) or the
    // re-encoding after an interpolation (changed cells set from their new bytes).
    void OnlinePcn() {
        const int t = Pick(static_cast<int>(tables_.size()));
        ModelTable& table = tables_[t];
        if (table.scale != TableScale::Pcn)
            return;
        if (table.n == 16 && Pick(2) == 0) {
            std::array<std::uint8_t, 256> bytes{};
            CellCounts hits{};
            for (int r = 1; r <= 16; ++r) {
                for (int c = 1; c <= 16; ++c) {
                    bytes[(r - 1) * 16 + c - 1] =
                        *CellByte(*table.grid, c, r, table.scale, 1, kSep);
                    hits[c][r] = Pick(5);
                }
            }
            SmoothPcnTable(bytes, hits, *table.grid, kSep);
            for (int r = 1; r <= 16; ++r) {
                for (int c = 1; c <= 16; ++c) {
                    const std::uint8_t b = bytes[(r - 1) * 16 + c - 1];
                    table.cells[{c, r}] = {b, FormatMask("##0.00", b / 128.0, kSep)};
                    Mark(t, c, r);
                }
            }
            log_ += "online-smooth;";
            return;
        }
        std::map<std::pair<int, int>, ModelCell> changed;
        for (auto& [cell, model] : table.cells) {
            const std::string& text = table.grid->Cell(cell.first, cell.second);
            if (text != model.pairText) {
                const std::uint8_t b = *TextByte(TableScale::Pcn, text, 1, kSep);
                changed[cell] = {b, GeneralText(b / 128.0, kSep)};
            }
        }
        ASSERT_TRUE(ReencodePcnOnline(ctx_, *table.grid, table.n));
        for (const auto& [cell, model] : changed) {
            table.cells[cell] = model;
            Mark(t, cell.first, cell.second);
        }
        log_ += "online-reencode;";
    }

    std::mt19937 rng_;
    std::vector<std::uint8_t> original_;
    Calibration c_;
    EditContext ctx_;
    bool ok_ = false;
    int m_ = 1;
    std::vector<ModelTable> tables_;
    std::map<std::size_t, Setter> lastSetter_;
    std::set<std::size_t> touched_;
    std::string log_;
};

std::vector<DemoImageOptions> EveryVariant() {
    std::vector<DemoImageOptions> out;
    for (const std::string& name : DemoVariants()) {
        for (int flags = 0; flags < 3; ++flags) {
            DemoImageOptions o;
            o.variant = name;
            o.dad = flags > 0;
            o.dadUozAfr = flags > 1;
            o.pcn32 = o.dad;
            o.pcnDad32x32 = o.dad;
            out.push_back(o);
        }
    }
    return out;
}

TEST(SavedBytes, RandomEditsRevertsEncodesSmoothingAndSaves) {
    const auto dir = std::filesystem::path(VELTRANO_BINARY_DIR) / "test-files" / "saved_bytes";
    std::filesystem::create_directories(dir);
    unsigned seed = 1;
    for (const DemoImageOptions& options : EveryVariant()) {
        for (int run = 0; run < 6; ++run, ++seed) {
            SCOPED_TRACE(options.variant + " dad=" + std::to_string(options.dad) + " uoz=" +
                         std::to_string(options.dadUozAfr) + " seed=" + std::to_string(seed));
            Scenario s(options, seed);
            ASSERT_TRUE(s.Opened());
            if (!s.HasTables())
                break;
            for (int i = 0; i < 60; ++i) {
                s.Step(dir);
                if (::testing::Test::HasFatalFailure())
                    return;
            }
            s.Save(dir);
            if (::testing::Test::HasFatalFailure())
                return;
        }
    }
}

}  // namespace
}  // namespace veltrano
