#include "VectorFiles.hpp"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace TokenSimTests {

std::vector<nlohmann::json> loadVectorFiles(const std::string& kind) {
    const char* configured = std::getenv("SELVOR_TOKEN_VECTORS");
    const std::filesystem::path folder = configured ? configured : SELVOR_DEFAULT_VECTORS;
    std::vector<nlohmann::json> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".json") {
            continue;
        }
        std::ifstream stream(entry.path());
        nlohmann::json file = nlohmann::json::parse(stream);
        if (file.value("kind", "") == kind) {
            files.push_back(std::move(file));
        }
    }
    if (files.empty()) {
        throw std::runtime_error("no " + kind + " vectors in " + folder.string());
    }
    return files;
}

} // namespace TokenSimTests
