#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <optional>

namespace Selvor {

// The closed list of service operations. Each value knows its path, method, query and body.
// Every argument placed in the path is percent-encoded as one path segment, so no argument can
// change which query is requested; an argument "." or ".." would still name another path, and
// APIClient refuses to send it.
class Endpoint {
public:
    enum class Case {
        initiateAuth,
        authSession,
        qrStatus,
        dashboard,
        signInitiate,
        signSession,
        signComplete,
        certificate,
        validateCertificate,
        submitCSR,
        orgList,
        orgLookup,
        orgRegister,
        orgDetail,
        orgMembers,
        addOrgMember,
        removeOrgMember,
        cloudAuthURL,
        cloudCallback,
        cloudToken,
        cloudDisconnect,
        cloudSignInitiate,
        cloudSignStatus,
        qrInit,
        cloudConnections,
    };
    using QueryItems = QList<QPair<QString, QString>>;

    static Endpoint initiateAuth(const QString& nationalID);
    static Endpoint authSession(const QString& sessionID);
    static Endpoint qrStatus(const QString& token);
    static Endpoint dashboard(const QString& nationalID);
    static Endpoint signInitiate(const QString& nationalID, const QString& documentHash,
                                 const QString& hashType,
                                 const std::optional<QString>& displayText = std::nullopt,
                                 const std::optional<QString>& documentName = std::nullopt);
    static Endpoint signSession(const QString& sessionID);
    static Endpoint signComplete(const QString& sessionID, const QString& signature,
                                 const QString& certificatePEM);
    static Endpoint certificate(const QString& nationalID);
    static Endpoint validateCertificate(const QString& certificatePEM);
    static Endpoint submitCSR(const QString& csrPEM, const QString& nationalID);
    static Endpoint orgList(const QString& nationalID);
    static Endpoint orgLookup(const QString& regNumber);
    static Endpoint orgRegister(const QString& regNumber, const QString& name, const QString& phone,
                                const QString& nationalID);
    static Endpoint orgDetail(const QString& orgID);
    static Endpoint orgMembers(const QString& orgID, const QString& nationalID);
    static Endpoint addOrgMember(const QString& orgID, const QString& nationalID,
                                 const QString& role, const QString& callerNationalID);
    static Endpoint removeOrgMember(const QString& orgID, const QString& userID,
                                    const QString& callerNationalID);
    static Endpoint cloudAuthURL(const QString& provider);
    static Endpoint cloudCallback(const QString& provider, const QString& code);
    static Endpoint cloudToken(const QString& provider);
    static Endpoint cloudDisconnect(const QString& provider);
    static Endpoint cloudSignInitiate(const QString& nationalID, const QString& displayText);
    static Endpoint cloudSignStatus(const QString& sessionID);
    static Endpoint qrInit();
    static Endpoint cloudConnections();

    [[nodiscard]] Case kind() const { return m_case; }
    // Percent-encoded path beginning with "/", ready to append to the base URL.
    [[nodiscard]] QString path() const;
    [[nodiscard]] QByteArray method() const;
    // None, or exactly one name and value (not yet encoded).
    [[nodiscard]] QueryItems queryItems() const;
    // UTF-8 JSON in snake case, or nothing.
    [[nodiscard]] std::optional<QByteArray> body() const;

private:
    Endpoint(Case kind, QStringList arguments);

    Case m_case;
    QStringList m_arguments;
    std::optional<QString> m_displayText;
    std::optional<QString> m_documentName;
};

} // namespace Selvor
