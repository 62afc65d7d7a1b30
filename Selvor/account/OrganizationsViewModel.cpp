#include "account/OrganizationsViewModel.hpp"

#include "api/APIClient.hpp"
#include "api/APIError.hpp"
#include "api/Cancellation.hpp"
#include "api/CancelledError.hpp"
#include "api/ErrorText.hpp"
#include "api/Sleep.hpp"
#include "api/models/AuthModels.hpp"

#include <chrono>

namespace Selvor {
namespace {

using Clock = std::chrono::steady_clock;

// Lookups start once this many numeric characters are typed.
constexpr int lookupLength = 5;

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QVariantMap organizationRow(const Organization& org, bool rawStatus) {
    const bool active = org.status == "ACTIVE";
    return {{QStringLiteral("name"), text(org.name)},
            {QStringLiteral("regNumber"), text(org.regNumber)},
            {QStringLiteral("active"), active},
            {QStringLiteral("badge"), active      ? QStringLiteral("Идэвхтэй")
                                      : rawStatus ? text(org.status)
                                                  : QStringLiteral("Хүлээгдэж буй")}};
}

} // namespace

OrganizationsViewModel::OrganizationsViewModel(QObject* parent) : QObject(parent) {}

OrganizationsViewModel::~OrganizationsViewModel() {
    // Leaving the screen ends the wait for the director.
    if (m_wait)
        m_wait->cancel();
}

void OrganizationsViewModel::setAppState(AppState* appState) {
    if (appState == m_appState)
        return;
    m_appState = appState;
    emit changed();
}

APIClient& OrganizationsViewModel::client() const {
    return m_client ? *m_client : APIClient::shared();
}

QString OrganizationsViewModel::caller() const {
    return m_appState ? m_appState->nationalID() : QString();
}

void OrganizationsViewModel::fail(const std::exception_ptr& error) {
    m_errorMessage = errorText(error);
}

QVariantList OrganizationsViewModel::organizations() const {
    QVariantList rows;
    for (const Organization& org : m_organizations)
        rows.append(organizationRow(org, false));
    return rows;
}

QVariantMap OrganizationsViewModel::lookupResult() const {
    if (!m_lookup)
        return {};
    return {{QStringLiteral("name"), text(m_lookup->name)},
            {QStringLiteral("ceo"), text(m_lookup->ceo.value_or(""))},
            {QStringLiteral("phone"), text(m_lookup->phone.value_or(""))}};
}

QVariantMap OrganizationsViewModel::selected() const {
    return m_selected ? organizationRow(*m_selected, true) : QVariantMap();
}

QVariantList OrganizationsViewModel::members() const {
    QVariantList rows;
    for (const OrgMember& member : m_members) {
        const bool active = member.status == "ACTIVE";
        const bool pending = member.status == "PENDING";
        rows.append(
            QVariantMap{{QStringLiteral("userName"), text(member.userName)},
                        {QStringLiteral("nationalId"), text(member.nationalId)},
                        {QStringLiteral("role"), text(member.role)},
                        {QStringLiteral("admin"), member.role == "ADMIN"},
                        {QStringLiteral("status"), active ? QStringLiteral("Идэвхтэй")
                                                   : pending ? QStringLiteral("Хүлээгдэж буй")
                                                             : text(member.status)},
                        {QStringLiteral("statusKind"), active    ? QStringLiteral("active")
                                                       : pending ? QStringLiteral("pending")
                                                                 : QStringLiteral("other")}});
    }
    return rows;
}

void OrganizationsViewModel::setNewMemberRole(const QString& role) {
    if (role == m_newMemberRole)
        return;
    m_newMemberRole = role;
    emit changed();
}

void OrganizationsViewModel::load() {
    fetchList();
}

QCoro::Task<> OrganizationsViewModel::fetchList() {
    const QPointer self(this);
    APIClient& api = client();
    m_isLoading = true;
    // A new load forgets why the last one failed.
    m_listError.clear();
    emit changed();
    try {
        auto asking = api.request<OrgListResponse>(Endpoint::orgList(caller()));
        OrgListResponse list = co_await asking;
        if (!self)
            co_return;
        m_organizations = std::move(list.organizations);
    } catch (const std::exception&) {
        if (!self)
            co_return;
        // Kept for the list: a form the user has moved on to is not the place to show it.
        m_listError = errorText(std::current_exception());
    }
    m_isLoading = false;
    emit changed();
}

void OrganizationsViewModel::startRegistration() {
    m_mode = Mode::Register;
    m_errorMessage.clear();
    emit changed();
}

QString OrganizationsViewModel::editRegisterNumber(const QString& typed) {
    QString digits;
    for (const char32_t c : typed.toUcs4()) {
        if (QChar::isNumber(c))
            digits.append(QString::fromUcs4(&c, 1));
    }
    // A number under registration stays the one the director is asked about.
    if (m_isRegistering || m_isWaiting || digits == m_registerNumber)
        return m_registerNumber;
    m_registerNumber = digits;
    m_lookup.reset();
    m_errorMessage.clear();
    if (digits.toUcs4().size() >= lookupLength)
        lookUp(digits);
    emit changed();
    return digits;
}

QCoro::Task<> OrganizationsViewModel::lookUp(const QString& digits) {
    const QPointer self(this);
    APIClient& api = client();
    const QString number = digits;
    ++m_lookupsInFlight;
    std::optional<OrgLookupResponse> answer;
    std::exception_ptr failure;
    try {
        auto asking = api.request<OrgLookupResponse>(Endpoint::orgLookup(number));
        answer = co_await asking;
    } catch (const std::exception&) {
        failure = std::current_exception();
    }
    if (!self)
        co_return;
    --m_lookupsInFlight;
    // An answer for digits no longer in the field would name another company.
    if (number == m_registerNumber && !m_isRegistering && !m_isWaiting) {
        if (failure)
            fail(failure);
        else if (answer->found && answer->organization)
            m_lookup = answer->organization;
        else
            m_errorMessage = QStringLiteral("Байгууллага олдсонгүй");
    }
    emit changed();
}

void OrganizationsViewModel::registerCompany() {
    if (!m_lookup || m_isRegistering || m_isWaiting)
        return;
    m_isRegistering = true;
    m_errorMessage.clear();
    m_wait = std::make_shared<Cancellation>();
    emit changed();
    registerAndWait(m_wait);
}

QCoro::Task<> OrganizationsViewModel::registerAndWait(const std::shared_ptr<Cancellation>& wait) {
    const QPointer self(this);
    APIClient& api = client();
    const std::shared_ptr<Cancellation> cancellation = wait;
    const PollTiming timing = m_timing;
    std::optional<AuthStatusResponse> outcome;
    try {
        auto registering = api.request<OrgRegisterResponse>(
            Endpoint::orgRegister(m_registerNumber, text(m_lookup->name),
                                  text(m_lookup->phone.value_or("")), caller()),
            cancellation.get());
        const OrgRegisterResponse started = co_await registering;
        if (!self)
            co_return;
        m_verificationCode = text(started.verificationCode);
        m_isWaiting = true;
        m_isRegistering = false;
        emit changed();
        const QString sessionID = text(started.sessionId);
        const auto deadline = Clock::now() + timing.deadline;
        for (;;) {
            auto asking = api.request<AuthStatusResponse>(Endpoint::authSession(sessionID),
                                                          cancellation.get());
            AuthStatusResponse status = co_await asking;
            if (status.state == "COMPLETE") {
                outcome = std::move(status);
                break;
            }
            if (Clock::now() >= deadline)
                throw APIError::timeout();
            auto sleeping = sleepFor(timing.pollInterval, cancellation.get());
            co_await sleeping;
        }
    } catch (const CancelledError&) {
        // "Буцах" or leaving the screen: the user knows, nothing to report.
        co_return;
    } catch (const std::exception&) {
        if (!self || cancellation->isCancelled())
            co_return;
        fail(std::current_exception());
        m_isRegistering = false;
        emit changed();
        co_return;
    }
    if (!self || cancellation->isCancelled())
        co_return;
    endWait();
    if ((outcome->result == "OK" || outcome->result == "REFUSED") && m_appState)
        m_appState->notePhoneAnswer();
    if (outcome->result == "OK") {
        m_registerNumber.clear();
        m_lookup.reset();
        m_mode = Mode::List;
        emit changed();
        load();
        co_return;
    }
    m_errorMessage = outcome->result == "REFUSED" ? QStringLiteral("Татгалзлаа")
                                                  : QStringLiteral("Хугацаа дууслаа");
    emit changed();
}

void OrganizationsViewModel::endWait() {
    m_isWaiting = false;
    m_isRegistering = false;
    m_verificationCode.clear();
    m_wait.reset();
}

void OrganizationsViewModel::back() {
    if (m_wait)
        m_wait->cancel();
    endWait();
    m_mode = Mode::List;
    m_registerNumber.clear();
    m_lookup.reset();
    m_errorMessage.clear();
    m_selected.reset();
    m_members.clear();
    emit changed();
}

void OrganizationsViewModel::openOrganization(int index) {
    if (index < 0 || std::size_t(index) >= m_organizations.size())
        return;
    m_selected = m_organizations[std::size_t(index)];
    m_members.clear();
    m_errorMessage.clear();
    m_mode = Mode::Detail;
    emit changed();
    fetchMembers();
}

QCoro::Task<> OrganizationsViewModel::fetchMembers() {
    const QPointer self(this);
    APIClient& api = client();
    if (!m_selected)
        co_return;
    const QString orgID = text(m_selected->id);
    try {
        auto asking = api.request<OrgMembersResponse>(Endpoint::orgMembers(orgID, caller()));
        OrgMembersResponse answer = co_await asking;
        // The answer is for the company still shown, not one left since.
        if (!self || !m_selected || text(m_selected->id) != orgID)
            co_return;
        m_members = std::move(answer.members);
    } catch (const std::exception&) {
        if (!self)
            co_return;
        fail(std::current_exception());
    }
    emit changed();
}

void OrganizationsViewModel::addMember(const QString& nationalID) {
    if (!m_selected || m_isAdding || nationalID.trimmed().isEmpty())
        return;
    add(nationalID.trimmed().toUpper());
}

QCoro::Task<> OrganizationsViewModel::add(const QString& nationalID) {
    const QPointer self(this);
    APIClient& api = client();
    const QString number = nationalID;
    m_isAdding = true;
    m_errorMessage.clear();
    emit changed();
    try {
        auto adding = api.request<OrgMember>(
            Endpoint::addOrgMember(text(m_selected->id), number, m_newMemberRole, caller()));
        co_await adding;
    } catch (const std::exception&) {
        if (!self)
            co_return;
        fail(std::current_exception());
        m_isAdding = false;
        emit changed();
        co_return;
    }
    if (!self)
        co_return;
    m_isAdding = false;
    emit changed();
    emit memberAdded();
    fetchMembers();
}

void OrganizationsViewModel::removeMember(int index) {
    if (m_selected && index >= 0 && std::size_t(index) < m_members.size())
        remove(text(m_members[std::size_t(index)].userId));
}

QCoro::Task<> OrganizationsViewModel::remove(const QString& userID) {
    const QPointer self(this);
    APIClient& api = client();
    try {
        auto removing = api.request<OrgRemoveMemberResponse>(
            Endpoint::removeOrgMember(text(m_selected->id), userID, caller()));
        co_await removing;
    } catch (const std::exception&) {
        if (!self)
            co_return;
        fail(std::current_exception());
        emit changed();
        co_return;
    }
    if (self)
        fetchMembers();
}

} // namespace Selvor
