#include "lambda/aem_log.h"

#include <fstream>

#include "lambda/lambda_texts.h"

namespace veltrano {

bool AppendAemLog(const std::filesystem::path& directory, const std::string& line) {
    std::ofstream file(directory / lambda_texts::kAemLogName, std::ios::binary | std::ios::app);
    if (!file)
        return false;
    file << line << "\r\n";
    file.close();
    return !file.fail();
}

}  // namespace veltrano
