#pragma once

#include <nlohmann/json.hpp>

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace SelvorSim {

enum class FaultKind { Status, Html, BrokenJson, Stall, Drop };

// One injected failure. `path` matches exactly, or as a prefix when it ends in "*"; an empty
// `method` matches any method. `times` < 0 keeps the fault until it is cleared.
struct Fault {
    int id = 0;
    std::string method;
    std::string path;
    FaultKind kind = FaultKind::Status;
    int status = 500;
    std::optional<std::string> body;
    std::string contentType = "application/json";
    std::chrono::milliseconds stall{0};
    int times = -1;
};

// Reads a fault from its control JSON; throws std::invalid_argument on a bad description.
Fault faultFromJson(const nlohmann::json& description);
nlohmann::json faultToJson(const Fault& fault);

class Faults {
public:
    int add(Fault fault);
    void clear();
    [[nodiscard]] nlohmann::json toJson() const;
    // The first fault that matches, counting one use of it.
    std::optional<Fault> take(const std::string& method, const std::string& path);

private:
    mutable std::mutex m_mutex;
    std::vector<Fault> m_faults;
    int m_nextId = 1;
};

} // namespace SelvorSim
