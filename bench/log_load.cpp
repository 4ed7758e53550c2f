// Loading a long session log: a generated log of a million rows is read back; the load time
// is compared with reading the same file and cutting it into lines without parsing, in the
// same run. Also the resident memory after the load and the time to reduce four plotted
// columns over the whole log to a 1000-pixel envelope.
//
//   log_load [--rows N] [--file PATH] [--keep]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>
#ifdef __GLIBC__
#include <malloc.h>  // malloc_trim
#endif

#include "analysis/column_summary.h"
#include "analysis/decimation.h"
#include "analysis/log_reader.h"
#include "common/code_page.h"
#include "common/text_forms.h"
#include "log/log_row.h"
#include "log/log_texts.h"

namespace {

using namespace veltrano;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

long ResidentKb() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (f == nullptr)
        return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, f) != nullptr) {
        if (std::strncmp(line, "VmRSS:", 6) == 0)
            kb = std::atol(line + 6);
    }
    std::fclose(f);
    return kb;
}

// A drive: idle, accelerations, cruise, fuel cuts; 20 records a second.
void Generate(const std::string& path, long rows) {
    SetDecimalSeparator(',');
    std::ofstream out(path, std::ios::binary);
    out << Utf8ToCp1251(kLogHeader) << "\r\n";
    std::string buffer;
    for (long i = 0; i < rows; ++i) {
        const double t = i * 0.05;
        const double phase = std::fmod(t, 120.0);
        LiveRecord l;
        l.FsensorCrankshaftSpeed = std::round(900 + 2500 * (1 + std::sin(t / 7.0)) * (phase > 20));
        l.FsensorThrottlePosition =
            std::round((phase > 20 ? 15 + 10 * std::sin(t / 3.0) : 0) * 10) / 10;
        l.FsensorPressure = static_cast<int>(30 + l.FsensorThrottlePosition * 2);
        l.FsensorCoolantTemp = std::min(90.0, 20 + t / 10);
        l.FsensorAirFuelRatio = 14.7;
        l.FsensorAirCycleRate = std::round(l.FsensorPressure * 3.1 * 10) / 10;
        l.FsensorSparkAngle = std::round((10 + l.FsensorCrankshaftSpeed / 200) * 2) / 2;
        l.FsensorVoltage = 14.1;
        l.FsensorLamMdaVoltage_2 = 0.45 + 0.3 * std::sin(t * 3);
        l.FsensorFuelTimeLength = std::round(l.FsensorAirCycleRate * 0.03 * 1000) / 1000;
        l.flag_fuelOFF = phase > 100 && phase < 105;
        l.flag_XX = phase <= 20;
        l.flag_endine_run = 1;
        l.flag_O2_gotov = 1;
        const double afr = std::round((14.7 + std::sin(t * 1.7)) * 100) / 100;
        CycleLogValues c;
        c.RPM_RT = static_cast<int>(1 + l.FsensorCrankshaftSpeed / 400) % 16 + 1;
        c.TRT_RT = static_cast<int>(l.FsensorThrottlePosition / 4) % 16 + 1;
        c.LC_COrrect = afr / 14.7;
        c.PCN_FIRM = 1.0 + 0.01 * (i % 7);
        c.T1 = 62.5;
        c.COEFF_B1S1 = 1.02;
        const LogTime time{static_cast<int>(10 + t / 3600) % 24, static_cast<int>(t / 60) % 60,
                           static_cast<int>(t) % 60, static_cast<int>(i % 20) * 50};
        buffer += BuildLogRow(time, l, afr, c);
        buffer += "\r\n";
        if (buffer.size() > (1 << 20)) {
            out << buffer;
            buffer.clear();
        }
    }
    out << buffer;
}

// Reads the file and cuts it into lines, as the reader does, without looking into them.
std::size_t ReadLinesOnly(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    std::vector<char> buffer(4 << 20);
    std::string carry;
    std::size_t lines = 0;
    std::size_t length = 0;
    for (;;) {
        const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), f);
        if (n == 0)
            break;
        std::string_view chunk(buffer.data(), n);
        while (!chunk.empty()) {
            const std::size_t nl = chunk.find('\n');
            if (nl == std::string_view::npos) {
                carry.append(chunk);
                break;
            }
            std::string_view line = chunk.substr(0, nl);
            if (!carry.empty()) {
                carry.append(line);
                line = carry;
            }
            length += line.size();
            ++lines;
            carry.clear();
            chunk.remove_prefix(nl + 1);
        }
    }
    std::fclose(f);
    return lines + (length == 0 ? 1 : 0);
}

}  // namespace

int main(int argc, char** argv) {
    long rows = 1'000'000;
    std::string path = (std::filesystem::temp_directory_path() / "veltrano_log_load.csv").string();
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--rows" && i + 1 < argc)
            rows = std::atol(argv[++i]);
        else if (a == "--file" && i + 1 < argc)
            path = argv[++i];
        else if (a == "--keep")
            keep = true;
    }
    auto t0 = Clock::now();
    Generate(path, rows);
#ifdef __GLIBC__
    malloc_trim(0);
#endif
    std::cout << "log: " << path << ", " << rows << " rows, "
              << std::filesystem::file_size(path) / (1024 * 1024) << " MiB, generated in "
              << Seconds(t0, Clock::now()) << " s\n";

    // Best of three for both, the file in the page cache for both.
    ReadLinesOnly(path);
    double lines = 1e9, load = 1e9;
    long rss = 0;
    std::size_t loaded = 0;
    for (int k = 0; k < 3; ++k) {
        t0 = Clock::now();
        ReadLinesOnly(path);
        lines = std::min(lines, Seconds(t0, Clock::now()));
        t0 = Clock::now();
        LogReadResult r = ReadSessionLog(path);
        load = std::min(load, Seconds(t0, Clock::now()));
        if (!r.ok) {
            std::cerr << "load failed: " << r.error << '\n';
            return 1;
        }
        loaded = r.table.Rows();
        if (k == 2) {
            rss = ResidentKb();
            // Redraw: four columns over the whole log into 1000 pixels, many times, row by
            // row and from the columns' block summaries (as the viewer does).
            const double start = r.table.Time(0);
            const double end = r.table.Time(r.table.Rows() - 1);
            const int columns[] = {logcol::Rpm, logcol::Throttle, logcol::WidebandAfr, 11};
            const auto a = Clock::now();
            std::vector<ColumnSummary> summaries;
            for (int column : columns)
                summaries.emplace_back(r.table, column);
            std::cout << "block summaries of four columns: " << Seconds(a, Clock::now()) * 1000
                      << " ms, once per log and filter\n";
            for (const bool blocks : {false, true}) {
                std::vector<double> times;
                for (int i = 0; i < 200; ++i) {
                    const auto b = Clock::now();
                    for (int k = 0; k < 4; ++k) {
                        if (blocks)
                            summaries[k].Decimate(start, end, 1000);
                        else
                            DecimateColumn(r.table, columns[k], start, end, 1000);
                    }
                    times.push_back(Seconds(b, Clock::now()) * 1000);
                }
                std::sort(times.begin(), times.end());
                const double p99 = times[static_cast<std::size_t>(times.size() * 0.99) - 1];
                std::cout << "envelope of four columns over the whole log, "
                          << (blocks ? "from block summaries" : "row by row") << ": median "
                          << times[100] << " ms, p99 " << p99 << " ms (target < 50)\n";
            }
        }
    }
    std::cout << "rows loaded: " << loaded << '\n'
              << "read and split into lines: " << lines << " s\n"
              << "load: " << load << " s\n"
              << "load / lines: " << load / lines << " (target <= 8)\n"
              << "resident memory after load: " << rss / 1024 << " MB (target <= 400)\n";
    if (!keep)
        std::filesystem::remove(path);
    return 0;
}
