#include "analysis/log_reader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "analysis/analysis_texts.h"
#include "analysis/log_fields.h"
#include "analysis/log_row_parser.h"
#include "common/code_page.h"
#include "common/file_open.h"
#include "log/log_timeline.h"

namespace veltrano {
namespace {

constexpr std::size_t kChunk = 4 << 20;
constexpr std::size_t kMaxLine = 64 << 10;  // far beyond any row; longer is not a row
constexpr std::size_t kSkippedLinesKept = 20;
constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool ValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int more = c < 0x80         ? 0
                         : (c >> 5) == 6  ? 1
                         : (c >> 4) == 14 ? 2
                         : (c >> 3) == 30 ? 3
                                          : -1;
        if (more < 0 || i + more >= s.size() + (more == 0))
            return false;
        for (int k = 0; k < more; ++k) {
            if ((static_cast<unsigned char>(s[++i]) >> 6) != 2)
                return false;
        }
    }
    return true;
}

// The header's names split on `sep`; names past the 71st must be empty. False when the
// count does not fit.
bool SplitHeader(std::string_view line, char sep,
                 std::array<std::string_view, kLogColumnCount>& out) {
    int n = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = line.find(sep, start);
        const std::string_view field = line.substr(start, end - start);
        if (n < kLogColumnCount) {
            out[n] = field;
        } else if (!TrimField(field).empty()) {
            return false;
        }
        ++n;
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return n >= kLogColumnCount;
}

class LogParser {
  public:
    explicit LogParser(LogReadResult& out) : out_(out) {}

    // False once the file is refused.
    bool Line(std::string_view line) {
        ++lineNo_;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!headerSeen_) {
            if (lineNo_ == 1 && line.substr(0, kBom.size()) == kBom) {
                line.remove_prefix(kBom.size());
                out_.utf8 = true;
            }
            if (TrimField(line).empty())
                return true;
            headerSeen_ = true;
            return Header(line);
        }
        if (TrimField(line).empty())
            return true;
        Row(line);
        return true;
    }

    void Skip() {
        ++lineNo_;
        Skipped();
    }

    bool HeaderSeen() const { return headerSeen_; }
    long Lines() const { return lineNo_; }

  private:
    bool Header(std::string_view raw) {
        std::string text;
        if (out_.utf8 || ValidUtf8(raw)) {
            out_.utf8 = true;
            text = std::string(raw);
        } else {
            text = Cp1251ToUtf8(raw);
        }
        for (const char sep : {',', ';'}) {
            std::array<std::string_view, kLogColumnCount> names;
            if (!SplitHeader(text, sep, names))
                continue;
            bool match = true;
            for (int c = 0; c < kLogColumnCount && match; ++c)
                match = TrimField(names[c]) == LogColumns()[c].name;
            if (!match)
                continue;
            sep_ = sep;
            decimal_ = sep == ';' ? ',' : '.';
            out_.flavour = sep == ';' ? LogFlavour::Spreadsheet : LogFlavour::Own;
            return true;
        }
        out_.error = kNotALog;
        return false;
    }

  public:
    // Rows waiting in the block go into the table.
    void Flush() {
        out_.table.AppendRows(std::span(times_.data(), blockRows_),
                              std::span(block_.data(), blockRows_ * kLogColumnCount));
        blockRows_ = 0;
    }

  private:
    void Row(std::string_view line) {
        double time = 0;
        if (!ParseLogRow(line, sep_, decimal_, time, block_.data() + blockRows_ * kLogColumnCount))
            return Skipped();
        times_[blockRows_] = timeline_.Next(time);
        if (++blockRows_ == kBlockRows)
            Flush();
    }

    void Skipped() {
        ++out_.skippedRows;
        if (out_.skippedLines.size() < kSkippedLinesKept)
            out_.skippedLines.push_back(lineNo_);
    }

    LogReadResult& out_;
    long lineNo_ = 0;
    bool headerSeen_ = false;
    char sep_ = ',';
    char decimal_ = '.';
    LogTimeline timeline_;
    // Rows are parsed into a block, row after row, and moved into the table's columns a
    // block at a time: writing 70 columns per row would touch 70 pages per row.
    static constexpr std::size_t kBlockRows = 1024;
    std::vector<float> block_ = std::vector<float>(kBlockRows * kLogColumnCount);
    std::vector<double> times_ = std::vector<double>(kBlockRows);
    std::size_t blockRows_ = 0;
};

// Feeds whole lines to the parser; keeps a partial line for the next chunk.
class LineFeeder {
  public:
    explicit LineFeeder(LogParser& parser) : parser_(parser) {}

    bool Feed(std::string_view chunk) {
        while (!chunk.empty()) {
            const std::size_t nl = chunk.find('\n');
            const std::string_view part = chunk.substr(0, nl);
            if (nl == std::string_view::npos) {
                return Keep(part);
            }
            chunk.remove_prefix(nl + 1);
            // A whole line inside the chunk is parsed where it stands.
            if (carry_.empty() && !overlong_ && part.size() <= kMaxLine) {
                if (!parser_.Line(part))
                    return false;
                continue;
            }
            if (!Keep(part))
                return false;
            if (!EndLine())
                return false;
        }
        return true;
    }

    bool Finish() {
        const bool ok = carry_.empty() && !overlong_ ? true : EndLine();
        parser_.Flush();
        return ok;
    }

    // The first bytes of the file are not text lines at all.
    bool Refused() const { return refused_; }

  private:
    bool Keep(std::string_view part) {
        if (overlong_)
            return true;
        if (carry_.size() + part.size() > kMaxLine) {
            overlong_ = true;
            carry_.clear();
            if (!parser_.HeaderSeen()) {
                refused_ = true;
                return false;
            }
            return true;
        }
        carry_.append(part);
        return true;
    }

    bool EndLine() {
        bool ok = true;
        if (overlong_) {
            parser_.Skip();
            overlong_ = false;
        } else {
            ok = parser_.Line(carry_);
        }
        carry_.clear();
        return ok;
    }

    LogParser& parser_;
    std::string carry_;
    bool overlong_ = false;
    bool refused_ = false;
};

void Finish(LogReadResult& out, bool headerSeen) {
    if (!out.error.empty())
        return;
    if (!headerSeen) {
        out.error = kLogEmpty;
        return;
    }
    if (out.table.Rows() == 0) {
        out.error = kLogNoRows;
        return;
    }
    out.ok = true;
}

}  // namespace

LogReadResult ReadSessionLogBytes(std::string_view bytes) {
    LogReadResult out;
    LogParser parser(out);
    LineFeeder feeder(parser);
    if (feeder.Feed(bytes) && feeder.Finish()) {
        Finish(out, parser.HeaderSeen());
    } else if (out.error.empty()) {
        out.error = kNotALog;
    }
    return out;
}

LogReadResult ReadSessionLog(const std::filesystem::path& path, const LogReadProgress& progress) {
    LogReadResult out;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenFile(path, "rb"), &std::fclose);
    if (!file) {
        out.error = std::string(kLogNotOpened) + std::strerror(errno);
        return out;
    }
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    LogParser parser(out);
    LineFeeder feeder(parser);
    std::string buffer(kChunk, '\0');
    std::uintmax_t done = 0;
    bool reserved = false;
    for (;;) {
        const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), file.get());
        if (n == 0)
            break;
        if (!feeder.Feed(std::string_view(buffer.data(), n))) {
            if (out.error.empty())
                out.error = kNotALog;
            return out;
        }
        parser.Flush();
        done += n;
        // Rows of the first chunk tell the length of a row; reserving once saves the copies
        // of growing a million-row column. Rows vary in length, so a quarter more is
        // reserved: pages never written take no memory.
        if (!reserved && !ec && out.table.Rows() > 0) {
            const double perRow = static_cast<double>(done) / static_cast<double>(parser.Lines());
            out.table.Reserve(static_cast<std::size_t>(static_cast<double>(size) / perRow * 1.25) +
                              16);
            reserved = true;
        }
        if (progress && size > 0 &&
            !progress(static_cast<double>(done) / static_cast<double>(size)))
            return out;
    }
    if (std::ferror(file.get())) {
        out.error = std::string(kLogNotOpened) + std::strerror(errno);
        return out;
    }
    if (!feeder.Finish()) {
        if (out.error.empty())
            out.error = kNotALog;
        return out;
    }
    Finish(out, parser.HeaderSeen());
    return out;
}

}  // namespace veltrano
