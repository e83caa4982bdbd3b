// regression_files.h: the names of the kept inputs in one folder of
// tests/fuzz_regressions, which the normal suite replays.
#pragma once

#include <dirent.h>
#include <string>
#include <vector>

inline std::vector<std::string> listRegressionFiles(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return names;
    }
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] != '.') {
            names.push_back(entry->d_name);
        }
    }
    closedir(dir);
    return names;
}
