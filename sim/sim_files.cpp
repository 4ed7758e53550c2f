#include "sim/sim_files.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

namespace veltrano {

bool ReadImageFile(const std::string& path, std::vector<std::uint8_t>& image, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open image " + path;
        return false;
    }
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                    std::istreambuf_iterator<char>()};
    if (bytes.size() < 0x10000) {
        error = "image " + path + " has " + std::to_string(bytes.size()) +
                " bytes, at least 65536 needed";
        return false;
    }
    bytes.resize(0x10000);
    image = std::move(bytes);
    return true;
}

bool ReadScriptFile(const std::string& path, std::vector<ScriptStep>& script, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot open script " + path;
        return false;
    }
    std::vector<ScriptStep> steps;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        line = line.substr(0, line.find('#'));
        std::istringstream fields(line);
        ScriptStep step;
        if (!(fields >> step.seconds)) {
            continue;  // blank or comment line
        }
        if (!(fields >> step.point.rpm >> step.point.throttle >> step.point.pressure) ||
            (!steps.empty() && step.seconds < steps.back().seconds)) {
            error = "script " + path + " line " + std::to_string(number) + ": bad step";
            return false;
        }
        if (!(fields >> step.point.carSpeed)) {
            step.point.carSpeed = 0.0;
        }
        steps.push_back(step);
    }
    if (steps.empty()) {
        error = "script " + path + " has no steps";
        return false;
    }
    script = std::move(steps);
    return true;
}

bool ReadSurfaceFile(const std::string& path, std::array<double, 256>& cells, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot open surface " + path;
        return false;
    }
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::replace(text.begin(), text.end(), ',', ' ');
    std::replace(text.begin(), text.end(), ';', ' ');
    std::istringstream numbers(text);
    std::size_t n = 0;
    double value = 0.0;
    while (n < cells.size() && numbers >> value) {
        cells[n++] = value;
    }
    std::string rest;
    if (n != cells.size() || (numbers >> rest)) {
        error = "surface " + path + " must hold exactly 256 numbers";
        return false;
    }
    return true;
}

}  // namespace veltrano
