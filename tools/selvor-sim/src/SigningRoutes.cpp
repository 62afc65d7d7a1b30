#include "Http.hpp"
#include "Routes.hpp"

namespace SelvorSim {
namespace {

std::string base64(std::string_view bytes) {
    static constexpr char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t chunk = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size())
            chunk |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size())
            chunk |= static_cast<unsigned char>(bytes[i + 2]);
        out += alphabet[(chunk >> 18) & 63];
        out += alphabet[(chunk >> 12) & 63];
        out += i + 1 < bytes.size() ? alphabet[(chunk >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? alphabet[chunk & 63] : '=';
    }
    return out;
}

// A PEM-framed stand-in: the simulator checks framing, not X.509 content.
std::string simulatedCertificate(const Person& person) {
    const std::string encoded =
        base64("Selvor simulated signing certificate\nCN=" + person.fullName +
               "\nserialNumber=" + person.nationalId + "\nissuer=Selvor Simulated CA\n");
    std::string pem = "-----BEGIN CERTIFICATE-----\n";
    for (std::size_t i = 0; i < encoded.size(); i += 64)
        pem += encoded.substr(i, 64) + "\n";
    return pem + "-----END CERTIFICATE-----\n";
}

std::string serialOf(const Person& person) {
    return std::to_string(stableHash(person.nationalId) % 1000000000000ull);
}

bool isHex(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

struct PersonRequest {
    nlohmann::json body;
    Person person;
};

// A JSON body naming a person in "national_id"; nothing (after a 400 answer) otherwise.
std::optional<PersonRequest> readPersonRequest(SimContext& context, const httplib::Request& req,
                                               httplib::Response& res) {
    auto body = readJsonObject(req, res);
    if (!body)
        return std::nullopt;
    auto person = context.accounts.person(stringField(*body, "national_id").value_or(""));
    if (!person) {
        sendError(res, 400, "Регистрийн дугаар буруу байна");
        return std::nullopt;
    }
    return PersonRequest{std::move(*body), std::move(*person)};
}

void signInitiate(SimContext& context, const httplib::Request& req, httplib::Response& res) {
    const auto signer = readPersonRequest(context, req, res);
    if (!signer)
        return;
    const nlohmann::json& body = signer->body;
    const auto hash = stringField(body, "document_hash");
    if (!hash || !isHex(*hash) || !stringField(body, "hash_type"))
        return sendError(res, 400, "document_hash болон hash_type шаардлагатай");
    const std::string name = stringField(body, "document_name").value_or("баримт бичиг");
    const std::string text =
        stringField(body, "display_text").value_or("Гарын үсэг зурах: " + name);
    const PhoneRequest request =
        context.phone.startPush(Purpose::Signing, signer->person, text, {{"document_hash", *hash}});
    sendJson(res, {{"session_id", request.id}, {"verification_code", request.verificationCode}});
}

void signComplete(SimContext& context, const httplib::Request& req, httplib::Response& res) {
    const auto body = readJsonObject(req, res);
    if (!body)
        return;
    if (!stringField(*body, "signature") || !stringField(*body, "certificate_pem"))
        return sendError(res, 400, "signature болон certificate_pem шаардлагатай");
    const auto request = context.phone.find(req.matches[1]);
    if (!request || request->purpose != Purpose::Signing)
        return sendError(res, 404, "Сесс олдсонгүй");
    if (request->decision != Decision::Approved)
        return sendError(res, 409, "Гарын үсэг баталгаажаагүй байна");
    sendJson(res, {{"success", true}, {"session_id", request->id}, {"signed_at", isoTimestamp()}});
}

void certificate(SimContext& context, const httplib::Request& req, httplib::Response& res) {
    const auto person = context.accounts.person(req.matches[1].str());
    if (!person)
        return sendError(res, 404, "Гэрчилгээ олдсонгүй");
    sendJson(res, {{"national_id", person->nationalId},
                   {"full_name", person->fullName},
                   {"serial_number", serialOf(*person)},
                   {"status", "VALID"},
                   {"valid_from", person->createdAt},
                   {"valid_to", isoTimestamp(3 * 365 * 86400LL)},
                   {"certificate_pem", simulatedCertificate(*person)}});
}

void submitCsr(SimContext& context, const httplib::Request& req, httplib::Response& res) {
    const auto request = readPersonRequest(context, req, res);
    if (!request)
        return;
    const std::string csr = stringField(request->body, "csr_pem").value_or("");
    if (!csr.starts_with("-----BEGIN CERTIFICATE REQUEST-----"))
        return sendError(res, 400, "CSR буруу байна");
    sendJson(res, {{"serial_number", serialOf(request->person)},
                   {"certificate_pem", simulatedCertificate(request->person)}});
}

} // namespace

void addSigningRoutes(Router& router, SimContext& context) {
    router.post("/desktop/v1/sign/initiate",
                [&context](const auto& req, auto& res) { signInitiate(context, req, res); });
    router.get(R"(/desktop/v1/sign/session/(.*))", [&context](const auto& req, auto& res) {
        const auto request = context.phone.find(req.matches[1]);
        if (!request || request->purpose != Purpose::Signing)
            return sendError(res, 404, "Сесс олдсонгүй");
        sendJson(res, pushStatusJson(*request));
    });
    router.post(R"(/desktop/v1/sign/complete/(.*))",
                [&context](const auto& req, auto& res) { signComplete(context, req, res); });
    router.post("/desktop/v1/certificate/validate", [](const auto& req, auto& res) {
        const auto body = readJsonObject(req, res);
        if (!body)
            return;
        const std::string pem = stringField(*body, "certificate_pem").value_or("");
        const bool framed = pem.starts_with("-----BEGIN CERTIFICATE-----") &&
                            pem.find("-----END CERTIFICATE-----") != std::string::npos;
        sendJson(res, {{"valid", framed}, {"status", framed ? "VALID" : "MALFORMED"}});
    });
    router.get(R"(/desktop/v1/certificate/(.*))",
               [&context](const auto& req, auto& res) { certificate(context, req, res); });
    router.post("/desktop/v1/token/provision/csr",
                [&context](const auto& req, auto& res) { submitCsr(context, req, res); });
}

} // namespace SelvorSim
