#include "RequestLog.hpp"

#include "Http.hpp"

namespace SelvorSim {

void RequestLog::record(const httplib::Request& req) {
    nlohmann::json query = nlohmann::json::array();
    for (const auto& [name, value] : queryItems(req.target))
        query.push_back({name, value});
    nlohmann::json headers = nlohmann::json::array();
    for (const auto& [name, value] : req.headers) {
        if (name != "REMOTE_ADDR" && name != "REMOTE_PORT" && name != "LOCAL_ADDR" &&
            name != "LOCAL_PORT")
            headers.push_back({name, value});
    }
    const auto question = req.target.find('?');
    nlohmann::json entry = {
        {"method", req.method},
        {"path", req.path},
        {"target", req.target},
        {"raw_query", question == std::string::npos ? "" : req.target.substr(question + 1)},
        {"query", std::move(query)},
        {"headers", std::move(headers)},
        {"body", req.body},
    };
    std::lock_guard lock(m_mutex);
    if (m_entries.size() == capacity)
        m_entries.pop_front();
    m_entries.push_back(std::move(entry));
}

nlohmann::json RequestLog::toJson() const {
    std::lock_guard lock(m_mutex);
    nlohmann::json requests = nlohmann::json::array();
    for (const nlohmann::json& entry : m_entries)
        requests.push_back(entry);
    return {{"requests", std::move(requests)}};
}

void RequestLog::clear() {
    std::lock_guard lock(m_mutex);
    m_entries.clear();
}

} // namespace SelvorSim
