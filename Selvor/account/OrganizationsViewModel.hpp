#pragma once

#include "api/PollTiming.hpp"
#include "api/models/OrgModels.hpp"
#include "session/AppState.hpp"

#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QVariantList>
#include <QVariantMap>
#include <QtQml/qqmlregistration.h>

#include <memory>
#include <optional>

namespace Selvor {

class APIClient;
class Cancellation;

// The organisations screen: the person's companies, registering a new one (a lookup by its
// register number, then the director's approval on the phone), and a company's members.
class OrganizationsViewModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(Selvor::AppState* appState READ appState WRITE setAppState NOTIFY changed)
    Q_PROPERTY(Mode mode READ mode NOTIFY changed)
    // Rows of {name, regNumber, active, badge}.
    Q_PROPERTY(QVariantList organizations READ organizations NOTIFY changed)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY changed)
    Q_PROPERTY(QString errorMessage READ errorMessage NOTIFY changed)
    Q_PROPERTY(QString registerNumber READ registerNumber NOTIFY changed)
    // {name, ceo, phone}; empty while no company is found.
    Q_PROPERTY(QVariantMap lookupResult READ lookupResult NOTIFY changed)
    Q_PROPERTY(bool isLookingUp READ isLookingUp NOTIFY changed)
    Q_PROPERTY(bool isRegistering READ isRegistering NOTIFY changed)
    Q_PROPERTY(bool isWaitingForDirector READ isWaitingForDirector NOTIFY changed)
    Q_PROPERTY(QString verificationCode READ verificationCode NOTIFY changed)
    // {name, regNumber, active, badge} of the company shown in detail.
    Q_PROPERTY(QVariantMap selected READ selected NOTIFY changed)
    // Rows of {userName, nationalId, role, admin, status, statusKind}.
    Q_PROPERTY(QVariantList members READ members NOTIFY changed)
    Q_PROPERTY(QString newMemberRole READ newMemberRole WRITE setNewMemberRole NOTIFY changed)
    Q_PROPERTY(bool isAdding READ isAdding NOTIFY changed)

public:
    enum class Mode { List, Register, Detail };
    Q_ENUM(Mode)

    explicit OrganizationsViewModel(QObject* parent = nullptr);
    ~OrganizationsViewModel() override;

    // Polls and the director's deadline; tests shorten them.
    void setPollTiming(const PollTiming& timing) { m_timing = timing; }
    // Requests go through the application's shared client unless another is named.
    void setClient(APIClient& client) { m_client = &client; }

    [[nodiscard]] AppState* appState() const { return m_appState; }
    void setAppState(AppState* appState);
    [[nodiscard]] Mode mode() const { return m_mode; }
    [[nodiscard]] QVariantList organizations() const;
    [[nodiscard]] bool isLoading() const { return m_isLoading; }
    // In the list, why the last load failed (the list then does not claim to be empty); in the
    // form and the detail, what went wrong there.
    [[nodiscard]] QString errorMessage() const {
        return m_mode == Mode::List ? m_listError : m_errorMessage;
    }
    [[nodiscard]] QString registerNumber() const { return m_registerNumber; }
    [[nodiscard]] QVariantMap lookupResult() const;
    [[nodiscard]] bool isLookingUp() const { return m_lookupsInFlight > 0; }
    [[nodiscard]] bool isRegistering() const { return m_isRegistering; }
    [[nodiscard]] bool isWaitingForDirector() const { return m_isWaiting; }
    [[nodiscard]] QString verificationCode() const { return m_verificationCode; }
    [[nodiscard]] QVariantMap selected() const;
    [[nodiscard]] QVariantList members() const;
    [[nodiscard]] QString newMemberRole() const { return m_newMemberRole; }
    void setNewMemberRole(const QString& role);
    [[nodiscard]] bool isAdding() const { return m_isAdding; }

    // Requests the list again; the screen calls it each time it is shown.
    Q_INVOKABLE void load();
    Q_INVOKABLE void startRegistration();
    // Keeps the numeric characters of what was typed or pasted, looks the company up from five
    // of them on, and returns the text the field must show.
    Q_INVOKABLE QString editRegisterNumber(const QString& typed);
    Q_INVOKABLE void registerCompany();
    Q_INVOKABLE void openOrganization(int index);
    Q_INVOKABLE void addMember(const QString& nationalID);
    Q_INVOKABLE void removeMember(int index);
    // "Буцах": back to the list; a wait for the director ends unreported.
    Q_INVOKABLE void back();

signals:
    void changed();
    // A member was added: the screen empties its field.
    void memberAdded();

private:
    QCoro::Task<> fetchList();
    QCoro::Task<> lookUp(const QString& digits);
    QCoro::Task<> registerAndWait(const std::shared_ptr<Cancellation>& wait);
    QCoro::Task<> fetchMembers();
    QCoro::Task<> add(const QString& nationalID);
    QCoro::Task<> remove(const QString& userID);

    [[nodiscard]] APIClient& client() const;
    [[nodiscard]] QString caller() const;
    void fail(const std::exception_ptr& error);
    void endWait();

    PollTiming m_timing;
    APIClient* m_client = nullptr;
    QPointer<AppState> m_appState;
    Mode m_mode = Mode::List;
    std::vector<Organization> m_organizations;
    bool m_isLoading = false;
    // The form's or the detail's.
    QString m_errorMessage;
    // Why the last list load failed, while no newer load has answered.
    QString m_listError;
    QString m_registerNumber;
    std::optional<OrgLookupInfo> m_lookup;
    int m_lookupsInFlight = 0;
    bool m_isRegistering = false;
    bool m_isWaiting = false;
    QString m_verificationCode;
    std::shared_ptr<Cancellation> m_wait;
    std::optional<Organization> m_selected;
    std::vector<OrgMember> m_members;
    QString m_newMemberRole = QStringLiteral("SIGNER");
    bool m_isAdding = false;
};

} // namespace Selvor
