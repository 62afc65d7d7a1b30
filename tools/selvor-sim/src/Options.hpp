#pragma once

#include "UpdateFeed.hpp"

#include <optional>
#include <string>
#include <vector>

namespace SelvorSim {

struct LargeHistory {
    std::string nationalId;
    std::size_t sessions = 100000;
};

struct Options {
    int port = 0;
    std::optional<double> autoApproveSeconds;
    std::vector<LargeHistory> largeHistories;
    std::vector<std::string> linkedProviders;
    // Size in MiB of the large file both cloud stores get; none without it.
    std::optional<int> largeCloudFileMb;
    std::string appcastVersion = "1.1.0";
    FeedVariant appcastVariant = FeedVariant::Signed;
    int updateSizeKb = 4096;
    // The process that started this one; the simulator ends with it.
    std::optional<int> parentPid;
};

// Parses the command line; throws std::invalid_argument with a readable message on bad input.
Options parseOptions(const std::vector<std::string>& args);

std::string usage();

} // namespace SelvorSim
