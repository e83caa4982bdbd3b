// The names of the kept inputs in one folder of tests/fuzz_regressions, which the normal suite replays.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

inline std::vector<std::string> listRegressionFiles(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error; // no folder, no names
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    return names;
}
