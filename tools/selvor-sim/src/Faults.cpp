#include "Faults.hpp"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <utility>

namespace SelvorSim {
namespace {

constexpr std::array<std::pair<FaultKind, const char*>, 5> kindNames{{
    {FaultKind::Status, "status"},
    {FaultKind::Html, "html"},
    {FaultKind::BrokenJson, "broken_json"},
    {FaultKind::Stall, "stall"},
    {FaultKind::Drop, "drop"},
}};

FaultKind kindFromName(const std::string& name) {
    for (const auto& [kind, text] : kindNames) {
        if (name == text)
            return kind;
    }
    throw std::invalid_argument("unknown fault kind: " + name);
}

const char* nameOf(FaultKind kind) {
    for (const auto& [candidate, text] : kindNames) {
        if (candidate == kind)
            return text;
    }
    return "status";
}

int defaultStatus(FaultKind kind) {
    switch (kind) {
    case FaultKind::Html:
        return 502;
    case FaultKind::BrokenJson:
        return 200;
    default:
        return 500;
    }
}

bool matches(const Fault& fault, const std::string& method, const std::string& path) {
    if (!fault.method.empty() && fault.method != method)
        return false;
    if (fault.path.ends_with('*'))
        return path.starts_with(std::string_view(fault.path).substr(0, fault.path.size() - 1));
    return fault.path == path;
}

} // namespace

Fault faultFromJson(const nlohmann::json& description) {
    if (!description.is_object())
        throw std::invalid_argument("a fault is a JSON object");
    Fault fault;
    try {
        fault.path = description.at("path").get<std::string>();
        fault.kind = kindFromName(description.at("kind").get<std::string>());
        fault.method = description.value("method", "");
        fault.status = description.value("status", defaultStatus(fault.kind));
        if (description.contains("body"))
            fault.body = description.at("body").get<std::string>();
        fault.contentType = description.value("content_type", "application/json");
        fault.stall = std::chrono::milliseconds(description.value("stall_ms", 0));
        fault.times = description.value("times", -1);
    } catch (const nlohmann::json::exception& error) {
        throw std::invalid_argument(error.what());
    }
    if (fault.path.empty() || fault.path.front() != '/')
        throw std::invalid_argument("a fault path starts with /");
    if (fault.status < 100 || fault.status > 599)
        throw std::invalid_argument("a fault status lies between 100 and 599");
    if (fault.times == 0)
        throw std::invalid_argument("times is positive, or negative for a lasting fault");
    if (fault.kind == FaultKind::Stall && fault.stall.count() <= 0)
        throw std::invalid_argument("a stall needs stall_ms above zero");
    return fault;
}

nlohmann::json faultToJson(const Fault& fault) {
    nlohmann::json out = {
        {"id", fault.id},         {"method", fault.method},
        {"path", fault.path},     {"kind", nameOf(fault.kind)},
        {"status", fault.status}, {"content_type", fault.contentType},
        {"times", fault.times},   {"stall_ms", fault.stall.count()},
    };
    if (fault.body)
        out["body"] = *fault.body;
    return out;
}

int Faults::add(Fault fault) {
    std::lock_guard lock(m_mutex);
    fault.id = m_nextId++;
    m_faults.push_back(std::move(fault));
    return m_faults.back().id;
}

void Faults::clear() {
    std::lock_guard lock(m_mutex);
    m_faults.clear();
}

nlohmann::json Faults::toJson() const {
    std::lock_guard lock(m_mutex);
    nlohmann::json list = nlohmann::json::array();
    for (const Fault& fault : m_faults)
        list.push_back(faultToJson(fault));
    return {{"faults", std::move(list)}};
}

std::optional<Fault> Faults::take(const std::string& method, const std::string& path) {
    std::lock_guard lock(m_mutex);
    const auto it = std::find_if(m_faults.begin(), m_faults.end(),
                                 [&](const Fault& fault) { return matches(fault, method, path); });
    if (it == m_faults.end())
        return std::nullopt;
    Fault fault = *it;
    if (it->times > 0 && --it->times == 0)
        m_faults.erase(it);
    return fault;
}

} // namespace SelvorSim
