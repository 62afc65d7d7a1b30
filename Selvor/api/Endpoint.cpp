#include "api/Endpoint.hpp"

#include "api/models/JsonCoding.hpp"
#include "api/models/SigningModels.hpp"

#include <QUrl>

#include <initializer_list>

namespace Selvor {
namespace {

// One path segment: everything but the unreserved characters is escaped, so that no argument
// can add a segment, a query or a fragment. (A segment of only dots stays as it is; the client
// refuses such paths.)
QString segment(const QString& argument) {
    return QString::fromLatin1(QUrl::toPercentEncoding(argument));
}

std::string utf8(const QString& text) {
    return text.toStdString();
}

std::optional<std::string> utf8(const std::optional<QString>& text) {
    if (!text)
        return std::nullopt;
    return text->toStdString();
}

// A flat object of string values, keys in the order given.
QByteArray stringObject(std::initializer_list<std::pair<const char*, QString>> pairs) {
    auto object = nlohmann::ordered_json::object();
    for (const auto& [key, value] : pairs)
        object[key] = value.toStdString();
    return QByteArray::fromStdString(encodeJson(object));
}

} // namespace

Endpoint::Endpoint(Case kind, QStringList arguments)
    : m_case(kind), m_arguments(std::move(arguments)) {}

Endpoint Endpoint::initiateAuth(const QString& nationalID) {
    return {Case::initiateAuth, {nationalID}};
}
Endpoint Endpoint::authSession(const QString& sessionID) {
    return {Case::authSession, {sessionID}};
}
Endpoint Endpoint::qrStatus(const QString& token) {
    return {Case::qrStatus, {token}};
}
Endpoint Endpoint::dashboard(const QString& nationalID) {
    return {Case::dashboard, {nationalID}};
}
Endpoint Endpoint::signInitiate(const QString& nationalID, const QString& documentHash,
                                const QString& hashType, const std::optional<QString>& displayText,
                                const std::optional<QString>& documentName) {
    Endpoint endpoint(Case::signInitiate, {nationalID, documentHash, hashType});
    endpoint.m_displayText = displayText;
    endpoint.m_documentName = documentName;
    return endpoint;
}
Endpoint Endpoint::signSession(const QString& sessionID) {
    return {Case::signSession, {sessionID}};
}
Endpoint Endpoint::signComplete(const QString& sessionID, const QString& signature,
                                const QString& certificatePEM) {
    return {Case::signComplete, {sessionID, signature, certificatePEM}};
}
Endpoint Endpoint::certificate(const QString& nationalID) {
    return {Case::certificate, {nationalID}};
}
Endpoint Endpoint::validateCertificate(const QString& certificatePEM) {
    return {Case::validateCertificate, {certificatePEM}};
}
Endpoint Endpoint::submitCSR(const QString& csrPEM, const QString& nationalID) {
    return {Case::submitCSR, {csrPEM, nationalID}};
}
Endpoint Endpoint::orgList(const QString& nationalID) {
    return {Case::orgList, {nationalID}};
}
Endpoint Endpoint::orgLookup(const QString& regNumber) {
    return {Case::orgLookup, {regNumber}};
}
Endpoint Endpoint::orgRegister(const QString& regNumber, const QString& name, const QString& phone,
                               const QString& nationalID) {
    return {Case::orgRegister, {regNumber, name, phone, nationalID}};
}
Endpoint Endpoint::orgDetail(const QString& orgID) {
    return {Case::orgDetail, {orgID}};
}
Endpoint Endpoint::orgMembers(const QString& orgID, const QString& nationalID) {
    return {Case::orgMembers, {orgID, nationalID}};
}
Endpoint Endpoint::addOrgMember(const QString& orgID, const QString& nationalID,
                                const QString& role, const QString& callerNationalID) {
    return {Case::addOrgMember, {orgID, nationalID, role, callerNationalID}};
}
Endpoint Endpoint::removeOrgMember(const QString& orgID, const QString& userID,
                                   const QString& callerNationalID) {
    return {Case::removeOrgMember, {orgID, userID, callerNationalID}};
}
Endpoint Endpoint::cloudAuthURL(const QString& provider) {
    return {Case::cloudAuthURL, {provider}};
}
Endpoint Endpoint::cloudCallback(const QString& provider, const QString& code) {
    return {Case::cloudCallback, {provider, code}};
}
Endpoint Endpoint::cloudToken(const QString& provider) {
    return {Case::cloudToken, {provider}};
}
Endpoint Endpoint::cloudDisconnect(const QString& provider) {
    return {Case::cloudDisconnect, {provider}};
}
Endpoint Endpoint::cloudSignInitiate(const QString& nationalID, const QString& displayText) {
    return {Case::cloudSignInitiate, {nationalID, displayText}};
}
Endpoint Endpoint::cloudSignStatus(const QString& sessionID) {
    return {Case::cloudSignStatus, {sessionID}};
}
Endpoint Endpoint::qrInit() {
    return {Case::qrInit, {}};
}
Endpoint Endpoint::cloudConnections() {
    return {Case::cloudConnections, {}};
}

QString Endpoint::path() const {
    const auto arg = [this](qsizetype index) { return segment(m_arguments.at(index)); };
    switch (m_case) {
    case Case::initiateAuth:
    case Case::cloudSignInitiate:
        return QStringLiteral("/web/auth/initiate");
    case Case::authSession:
    case Case::cloudSignStatus:
        return QStringLiteral("/web/auth/session/") + arg(0);
    case Case::qrStatus:
        return QStringLiteral("/web/auth/qr/status/") + arg(0);
    case Case::dashboard:
        return QStringLiteral("/web/dashboard");
    case Case::signInitiate:
        return QStringLiteral("/desktop/v1/sign/initiate");
    case Case::signSession:
        return QStringLiteral("/desktop/v1/sign/session/") + arg(0);
    case Case::signComplete:
        return QStringLiteral("/desktop/v1/sign/complete/") + arg(0);
    case Case::certificate:
        return QStringLiteral("/desktop/v1/certificate/") + arg(0);
    case Case::validateCertificate:
        return QStringLiteral("/desktop/v1/certificate/validate");
    case Case::submitCSR:
        return QStringLiteral("/desktop/v1/token/provision/csr");
    case Case::orgList:
        return QStringLiteral("/web/org/list");
    case Case::orgLookup:
        return QStringLiteral("/web/org/lookup/") + arg(0);
    case Case::orgRegister:
        return QStringLiteral("/web/org/register");
    case Case::orgDetail:
        return QStringLiteral("/web/org/") + arg(0);
    case Case::orgMembers:
        return QStringLiteral("/web/org/") + arg(0) + QStringLiteral("/members");
    case Case::addOrgMember:
        return QStringLiteral("/web/org/") + arg(0) + QStringLiteral("/members/add");
    case Case::removeOrgMember:
        return QStringLiteral("/web/org/") + arg(0) + QStringLiteral("/members/") + arg(1);
    case Case::cloudAuthURL:
        return QStringLiteral("/web/cloud/") + arg(0) + QStringLiteral("/auth-url");
    case Case::cloudCallback:
        return QStringLiteral("/web/cloud/") + arg(0) + QStringLiteral("/callback");
    case Case::cloudToken:
        return QStringLiteral("/web/cloud/") + arg(0) + QStringLiteral("/token");
    case Case::cloudDisconnect:
        return QStringLiteral("/web/cloud/") + arg(0) + QStringLiteral("/disconnect");
    case Case::qrInit:
        return QStringLiteral("/web/auth/qr/init");
    case Case::cloudConnections:
        return QStringLiteral("/web/cloud/connections");
    }
    return {};
}

QByteArray Endpoint::method() const {
    switch (m_case) {
    case Case::initiateAuth:
    case Case::signInitiate:
    case Case::signComplete:
    case Case::validateCertificate:
    case Case::submitCSR:
    case Case::orgRegister:
    case Case::addOrgMember:
    case Case::cloudCallback:
    case Case::cloudSignInitiate:
    case Case::qrInit:
        return "POST";
    case Case::removeOrgMember:
    case Case::cloudDisconnect:
        return "DELETE";
    default:
        return "GET";
    }
}

Endpoint::QueryItems Endpoint::queryItems() const {
    switch (m_case) {
    case Case::dashboard:
        return {{QStringLiteral("id"), m_arguments.at(0)}};
    case Case::orgList:
        return {{QStringLiteral("user_id"), m_arguments.at(0)}};
    case Case::orgMembers:
        return {{QStringLiteral("user_id"), m_arguments.at(1)}};
    case Case::removeOrgMember:
        return {{QStringLiteral("user_id"), m_arguments.at(2)}};
    default:
        return {};
    }
}

std::optional<QByteArray> Endpoint::body() const {
    const auto& a = m_arguments;
    switch (m_case) {
    case Case::initiateAuth:
        return stringObject({{"national_id", a.at(0)},
                             {"display_text", QStringLiteral("Selvor Desktop нэвтрэлт")}});
    case Case::cloudSignInitiate:
        return stringObject({{"national_id", a.at(0)}, {"display_text", a.at(1)}});
    case Case::signInitiate:
        return QByteArray::fromStdString(
            encodeJson(SignInitiateRequest{utf8(a.at(0)), utf8(a.at(1)), utf8(a.at(2)),
                                           utf8(m_displayText), utf8(m_documentName)}));
    case Case::signComplete:
        return QByteArray::fromStdString(
            encodeJson(SignCompleteRequest{utf8(a.at(1)), utf8(a.at(2))}));
    case Case::validateCertificate:
        return stringObject({{"certificate_pem", a.at(0)}});
    case Case::submitCSR:
        return QByteArray::fromStdString(
            encodeJson(CSRSubmitRequest{utf8(a.at(0)), utf8(a.at(1))}));
    case Case::orgRegister:
        return stringObject({{"reg_number", a.at(0)},
                             {"name", a.at(1)},
                             {"phone", a.at(2)},
                             {"user_national_id", a.at(3)}});
    case Case::addOrgMember:
        return stringObject(
            {{"national_id", a.at(1)}, {"role", a.at(2)}, {"user_national_id", a.at(3)}});
    case Case::cloudCallback:
        return stringObject({{"code", a.at(1)}});
    default:
        return std::nullopt;
    }
}

} // namespace Selvor
