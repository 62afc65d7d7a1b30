#pragma once

#include "Names.hpp"

#include <nlohmann/json.hpp>

#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace SelvorSim {

// What a request on the phone confirms; it decides the words of the terminal status.
enum class Purpose { SignIn, Director, Signing, QrSignIn };
enum class Decision { Pending, Approved, Refused, Expired };

const char* purposeName(Purpose purpose);
const char* decisionName(Decision decision);

struct PhoneRequest {
    std::string id; // push session id, or the QR token
    Purpose purpose = Purpose::SignIn;
    std::string nationalId; // empty for a QR code nobody has scanned yet
    std::string name;
    std::string displayText;
    std::string verificationCode;
    std::string kycLevel;
    bool scanned = false;
    Decision decision = Decision::Pending;
    std::string createdAt;
    nlohmann::json payload; // what an approval sets in motion (an organisation registration)
    std::chrono::steady_clock::time_point started;
    std::chrono::steady_clock::time_point scannedAt;
};

// The requests waiting on citizens' phones: push confirmations and QR sign-ins.
class PhoneRequests {
public:
    using Listener = std::function<void(const PhoneRequest&)>;
    enum class Outcome { Done, Unknown, NotPending, NotScanned, AlreadyScanned };

    // With a delay, a pending push is approved that long after it started; a QR code is
    // scanned by `qrPerson` after the delay and approved after twice the delay.
    void setAutoApprove(std::optional<std::chrono::milliseconds> delay, Person qrPerson);
    // Called, outside the lock, for every request that leaves the pending state.
    void setDecisionListener(Listener listener);

    PhoneRequest startPush(Purpose purpose, const Person& person, std::string displayText,
                           nlohmann::json payload = {});
    PhoneRequest startQr();

    std::optional<PhoneRequest> find(const std::string& id);
    std::vector<PhoneRequest> pending();
    Outcome scan(const std::string& token, const Person& person);
    Outcome decide(const std::string& id, Decision decision);

private:
    void advanceLocked(std::vector<PhoneRequest>& decided);
    void notify(const std::vector<PhoneRequest>& decided);

    std::mutex m_mutex;
    std::map<std::string, PhoneRequest> m_requests;
    std::vector<std::string> m_order;
    std::optional<std::chrono::milliseconds> m_autoApprove;
    Person m_qrPerson;
    Listener m_listener;
};

} // namespace SelvorSim
