#pragma once

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <deque>
#include <mutex>

namespace SelvorSim {

// Every service, provider and page request as it arrived, for tests to read back.
class RequestLog {
public:
    void record(const httplib::Request& req);
    [[nodiscard]] nlohmann::json toJson() const;
    void clear();

private:
    // Bounds memory when a long demo or benchmark runs against the simulator.
    static constexpr std::size_t capacity = 10000;

    mutable std::mutex m_mutex;
    std::deque<nlohmann::json> m_entries;
};

} // namespace SelvorSim
