#include "PhoneRequests.hpp"

#include "Http.hpp"

namespace SelvorSim {
namespace {

std::string newSessionId() {
    const std::string hex = randomHex(32);
    return hex.substr(0, 8) + "-" + hex.substr(8, 4) + "-" + hex.substr(12, 4) + "-" +
           hex.substr(16, 4) + "-" + hex.substr(20);
}

void applyScan(PhoneRequest& request, const Person& person) {
    request.scanned = true;
    request.scannedAt = std::chrono::steady_clock::now();
    request.nationalId = person.nationalId;
    request.name = person.fullName;
    request.kycLevel = person.kycLevel;
    request.verificationCode = randomDigits(4);
}

} // namespace

const char* purposeName(Purpose purpose) {
    switch (purpose) {
    case Purpose::SignIn:
        return "signin";
    case Purpose::Director:
        return "director";
    case Purpose::Signing:
        return "signing";
    case Purpose::QrSignIn:
        return "qr";
    }
    return "signin";
}

const char* decisionName(Decision decision) {
    switch (decision) {
    case Decision::Pending:
        return "pending";
    case Decision::Approved:
        return "approved";
    case Decision::Refused:
        return "refused";
    case Decision::Expired:
        return "expired";
    }
    return "pending";
}

void PhoneRequests::setAutoApprove(std::optional<std::chrono::milliseconds> delay,
                                   Person qrPerson) {
    std::lock_guard lock(m_mutex);
    m_autoApprove = delay;
    m_qrPerson = std::move(qrPerson);
}

void PhoneRequests::setDecisionListener(Listener listener) {
    std::lock_guard lock(m_mutex);
    m_listener = std::move(listener);
}

PhoneRequest PhoneRequests::startPush(Purpose purpose, const Person& person,
                                      std::string displayText, nlohmann::json payload) {
    PhoneRequest request;
    request.id = newSessionId();
    request.purpose = purpose;
    request.nationalId = person.nationalId;
    request.name = person.fullName;
    request.kycLevel = person.kycLevel;
    request.displayText = std::move(displayText);
    request.verificationCode = randomDigits(4);
    request.createdAt = isoTimestamp();
    request.payload = std::move(payload);
    request.started = std::chrono::steady_clock::now();
    std::lock_guard lock(m_mutex);
    m_order.push_back(request.id);
    return m_requests.emplace(request.id, request).first->second;
}

PhoneRequest PhoneRequests::startQr() {
    PhoneRequest request;
    request.id = randomHex(40);
    request.purpose = Purpose::QrSignIn;
    request.displayText = "Selvor Desktop нэвтрэлт (QR)";
    request.createdAt = isoTimestamp();
    request.started = std::chrono::steady_clock::now();
    std::lock_guard lock(m_mutex);
    m_order.push_back(request.id);
    return m_requests.emplace(request.id, request).first->second;
}

std::optional<PhoneRequest> PhoneRequests::find(const std::string& id) {
    std::vector<PhoneRequest> decided;
    std::optional<PhoneRequest> found;
    {
        std::lock_guard lock(m_mutex);
        advanceLocked(decided);
        if (const auto it = m_requests.find(id); it != m_requests.end())
            found = it->second;
    }
    notify(decided);
    return found;
}

std::vector<PhoneRequest> PhoneRequests::pending() {
    std::vector<PhoneRequest> decided;
    std::vector<PhoneRequest> waiting;
    {
        std::lock_guard lock(m_mutex);
        advanceLocked(decided);
        for (const std::string& id : m_order) {
            const PhoneRequest& request = m_requests.at(id);
            if (request.decision == Decision::Pending)
                waiting.push_back(request);
        }
    }
    notify(decided);
    return waiting;
}

PhoneRequests::Outcome PhoneRequests::scan(const std::string& token, const Person& person) {
    std::lock_guard lock(m_mutex);
    const auto it = m_requests.find(token);
    if (it == m_requests.end() || it->second.purpose != Purpose::QrSignIn)
        return Outcome::Unknown;
    if (it->second.decision != Decision::Pending)
        return Outcome::NotPending;
    if (it->second.scanned)
        return Outcome::AlreadyScanned;
    applyScan(it->second, person);
    return Outcome::Done;
}

PhoneRequests::Outcome PhoneRequests::decide(const std::string& id, Decision decision) {
    PhoneRequest decided;
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_requests.find(id);
        if (it == m_requests.end())
            return Outcome::Unknown;
        PhoneRequest& request = it->second;
        if (request.decision != Decision::Pending)
            return Outcome::NotPending;
        // Only a scanned QR code has a person who can approve or refuse it.
        if (request.purpose == Purpose::QrSignIn && !request.scanned &&
            decision != Decision::Expired)
            return Outcome::NotScanned;
        request.decision = decision;
        decided = request;
    }
    notify({decided});
    return Outcome::Done;
}

void PhoneRequests::advanceLocked(std::vector<PhoneRequest>& decided) {
    if (!m_autoApprove)
        return;
    const auto now = std::chrono::steady_clock::now();
    for (auto& [id, request] : m_requests) {
        if (request.decision != Decision::Pending)
            continue;
        if (request.purpose == Purpose::QrSignIn) {
            if (!request.scanned && now - request.started >= *m_autoApprove)
                applyScan(request, m_qrPerson);
            if (!request.scanned || now - request.scannedAt < *m_autoApprove)
                continue;
        } else if (now - request.started < *m_autoApprove) {
            continue;
        }
        request.decision = Decision::Approved;
        decided.push_back(request);
    }
}

void PhoneRequests::notify(const std::vector<PhoneRequest>& decided) {
    Listener listener;
    {
        std::lock_guard lock(m_mutex);
        listener = m_listener;
    }
    if (!listener)
        return;
    for (const PhoneRequest& request : decided)
        listener(request);
}

} // namespace SelvorSim
