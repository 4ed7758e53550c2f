#include "realistic/realistic_table.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "realistic/realistic_drive.h"
#include "sim/realistic_engine.h"

namespace veltrano {
namespace {

struct Crossing {
    long records = -1;
    double minutes = 0;
    void Note(bool below, const RealisticDrive& d) {
        if (below && records < 0) {
            records = d.Records();
            minutes = d.Seconds() / 60;
        }
    }
    std::string Text() const {
        if (records < 0)
            return "never";
        char text[40];
        std::snprintf(text, sizeof text, "%ld (%.1f)", records, minutes);
        return text;
    }
};

// The first record of the last stretch below the bound, if the run ends below it.
struct Settling : Crossing {
    void Note(bool below, const RealisticDrive& d) {
        if (!below)
            records = -1;
        else
            Crossing::Note(true, d);
    }
};

struct Source {
    const char* name;
    LambdaSource source;
};

struct Mode {
    const char* name;
    LearningMode mode;
};

}  // namespace

void RealisticTable(double minutes, unsigned seed) {
    const Source sources[] = {{"wideband", LambdaSource::Shdk},
                              {"nb volts", LambdaSource::VoltDk},
                              {"nb trim", LambdaSource::Dk}};
    const Mode modes[] = {{"Alg2", LearningMode::Alg2}, {"precise", LearningMode::Precise}};
    std::printf(
        "\nRealistic engine (simulated time): exhaust delay 100-350 ms, probe lag 80 ms, noise,\n"
        "VE bumps up to ±25 %%, a %.0f s lap of idle, accelerations, cruise and fuel cut;\n"
        "error per cell the lap dwells in = mean |mixture error| at the lap's points around it;\n"
        "records (minutes) until the mean and the 95th percentile fall below 5 %% and 2 %%, and\n"
        "from which the 95th percentile stays below 2 %% to the end; at most %.0f minutes\n\n",
        RealisticDriveScript().back().seconds, minutes);
    {
        const std::vector<long> reached = RealisticDrive(DriveSetup{}).CellsReached();
        std::printf("The first lap reaches its visited cells by these records; the last five:");
        for (std::size_t i = reached.size() > 5 ? reached.size() - 5 : 0; i < reached.size(); ++i)
            std::printf(" %ld", reached[i]);
        std::printf("\n\n");
    }
    std::printf("%-8s %-9s %5s %6s %14s %14s %14s %14s %14s %6s %6s %6s %7s %7s %6s\n", "mode",
                "source", "cells", "start", "mean<5%", "mean<2%", "p95<5%", "p95<2%", "p95 stays",
                "mean", "p95", "over", "updates", "taint", "in±2%");
    for (const Source& s : sources) {
        for (const Mode& m : modes) {
            DriveSetup setup;
            setup.source = s.source;
            setup.mode = m.mode;
            setup.seed = seed;
            RealisticDrive drive(setup);
            const double start = Mean(drive.VisitedErrors());
            Crossing mean5, mean2, p5, p2;
            Settling stays;
            const long limit = long(minutes * 60 / setup.recordSeconds);
            while (drive.Records() < limit && p2.records < 0) {
                drive.Record();
                if (drive.Records() % 25 != 0)
                    continue;
                const auto cells = drive.VisitedErrors();
                const double mean = Mean(cells), p95 = Percentile95(cells);
                mean5.Note(mean < 0.05, drive);
                mean2.Note(mean < 0.02, drive);
                p5.Note(p95 < 0.05, drive);
                p2.Note(p95 < 0.02, drive);
                stays.Note(p95 < 0.02, drive);
            }
            // Keep driving as long again (at least ten minutes) to see where it settles.
            const long more = std::max(drive.Records(), long(600 / setup.recordSeconds));
            for (long k = 0; k < more && drive.Records() < 2 * limit; ++k) {
                drive.Record();
                if (drive.Records() % 25 == 0)
                    stays.Note(Percentile95(drive.VisitedErrors()) < 0.02, drive);
            }
            const auto cells = drive.VisitedErrors();
            int within = 0;
            for (const CellMixtureError& c : cells)
                within += std::fabs(c.error) <= 0.02;
            std::printf(
                "%-8s %-9s %5zu %5.1f%% %14s %14s %14s %14s %14s %5.1f%% %5.1f%% %5.2f%% %7ld "
                "%7ld %3d/%zu\n",
                m.name, s.name, cells.size(), start * 100, mean5.Text().c_str(),
                mean2.Text().c_str(), p5.Text().c_str(), p2.Text().c_str(), stays.Text().c_str(),
                Mean(cells) * 100, Percentile95(cells) * 100, drive.Overshoot() * 100,
                drive.State().updates, drive.TaintedUpdates(), within, cells.size());
            if (m.mode == LearningMode::Precise) {
                const auto v = drive.Engine().PreciseVerdicts();
                std::printf(
                    "         readings: taken %ld, not admitted %ld, no earlier point %ld, "
                    "after transient %ld, cell just changed %ld, outlier %ld, locked %ld, too "
                    "soon %ld\n",
                    v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
            }
            std::fflush(stdout);
        }
    }
}

}  // namespace veltrano
