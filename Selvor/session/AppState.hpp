#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

#include <QCoroTask>

#include <chrono>
#include <memory>
#include <optional>

namespace Selvor {

class APIClient;
struct DashboardData;

// Who is signed in and what the window shows. Lives in memory only: every launch starts
// signed out. One instance for the application, handed to each view as `appState`.
class AppState : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("AppState is created by the application and passed to each view")

    Q_PROPERTY(Screen screen READ screen NOTIFY screenChanged)
    Q_PROPERTY(
        SidebarTab selectedTab READ selectedTab WRITE setSelectedTab NOTIFY selectedTabChanged)
    Q_PROPERTY(QString nationalID READ nationalID NOTIFY nationalIDChanged)
    Q_PROPERTY(QString fullName READ fullName NOTIFY fullNameChanged)
    Q_PROPERTY(QString kycLevel READ kycLevel NOTIFY kycLevelChanged)
    Q_PROPERTY(QString sessionID READ sessionID WRITE setSessionID NOTIFY sessionIDChanged)
    Q_PROPERTY(bool hasDashboardData READ hasDashboardData NOTIFY dashboardDataChanged)
    Q_PROPERTY(QString dashboardError READ dashboardError NOTIFY dashboardErrorChanged)
    Q_PROPERTY(bool isDashboardLoading READ isDashboardLoading NOTIFY dashboardLoadingChanged)

public:
    enum class Screen { Login, Main };
    Q_ENUM(Screen)

    // Declaration order is the order of all sections; the sidebar groups them its own way.
    enum class SidebarTab { Home, Id, Logs, Devices, Security, Children, Token, Sign, Org };
    Q_ENUM(SidebarTab)

    // Dashboard loads go through `client`; without one, through the application's shared client.
    explicit AppState(QObject* parent = nullptr);
    explicit AppState(APIClient& client, QObject* parent = nullptr);
    ~AppState() override;

    // "home", "id", ... matched exactly (case-sensitive); any other text gives no tab.
    [[nodiscard]] static std::optional<SidebarTab> sidebarTabFromRawValue(QStringView rawValue);
    [[nodiscard]] static QString rawValue(SidebarTab tab);

    [[nodiscard]] Screen screen() const { return m_screen; }
    [[nodiscard]] SidebarTab selectedTab() const { return m_selectedTab; }
    void setSelectedTab(SidebarTab tab);
    [[nodiscard]] QString nationalID() const { return m_nationalID; }
    [[nodiscard]] QString fullName() const { return m_fullName; }
    [[nodiscard]] QString kycLevel() const { return m_kycLevel; }
    [[nodiscard]] QString sessionID() const { return m_sessionID; }
    void setSessionID(const QString& sessionID);

    // The last dashboard fetched for the signed-in person; null when there is none.
    [[nodiscard]] const DashboardData* dashboardData() const { return m_dashboardData.get(); }
    [[nodiscard]] bool hasDashboardData() const { return m_dashboardData != nullptr; }
    void setDashboardData(std::shared_ptr<const DashboardData> data);
    // Why the last load for the signed-in person failed; empty once one succeeds.
    [[nodiscard]] QString dashboardError() const { return m_dashboardError; }
    [[nodiscard]] bool isDashboardLoading() const { return m_dashboardLoads > 0; }

    // A different person first loses everything bound to the one before (dashboard, KYC level,
    // push session), so nothing of theirs shows beside the new name.
    Q_INVOKABLE void completeSignIn(const QString& nationalID, const QString& fullName);
    // Fetches the dashboard for the current person in the background. A failure changes no
    // data; it only sets dashboardError, so the screens need not show zeros as the person's own.
    // An answer that arrives after the person changed (sign-out, another sign-in) is dropped.
    Q_INVOKABLE void loadDashboard();
    Q_INVOKABLE void signOut();

    // "Вэб хөтчөөр нэвтрэх" was pressed. Only then, until someone signs in and for at most the
    // validity after the press, does a web-login callback sign anyone in: any page can open a
    // "selvorlogin:" link, and it must not choose who is signed in.
    void beginWebSignIn();
    [[nodiscard]] bool isWebSignInPending() const;
    // Ten minutes by default; tests shorten it.
    void setWebSignInValidity(std::chrono::milliseconds validity) {
        m_webSignInValidity = validity;
    }

    // The phone approved or refused something this window waits on (a sign-in, a director's
    // confirmation, a signature): the window asks for the user's eye if it is not in front.
    void notePhoneAnswer() { emit phoneAnswered(); }

signals:
    void screenChanged();
    void selectedTabChanged();
    void nationalIDChanged();
    void fullNameChanged();
    void kycLevelChanged();
    void sessionIDChanged();
    void dashboardDataChanged();
    void dashboardErrorChanged();
    void dashboardLoadingChanged();
    void phoneAnswered();

private:
    QCoro::Task<> fetchDashboard(const QString& signedInID);
    void setScreen(Screen screen);
    void setNationalID(const QString& nationalID);
    void setFullName(const QString& fullName);
    void setKycLevel(const QString& kycLevel);
    void setDashboardError(const QString& error);
    void setDashboardLoads(int loads);

    APIClient* m_client = nullptr;
    Screen m_screen = Screen::Login;
    SidebarTab m_selectedTab = SidebarTab::Home;
    QString m_nationalID;
    QString m_fullName;
    QString m_kycLevel;
    QString m_sessionID;
    std::shared_ptr<const DashboardData> m_dashboardData;
    QString m_dashboardError;
    int m_dashboardLoads = 0;
    std::chrono::milliseconds m_webSignInValidity{std::chrono::minutes(10)};
    // Running while a web sign-in started from this window waits for its callback.
    QElapsedTimer m_webSignInStarted;
};

} // namespace Selvor
