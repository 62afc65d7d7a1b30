#pragma once

#include "token/TokenManager.hpp"

#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>

namespace Selvor {

// State and actions of the token screen: the connection test and the two-step provisioning
// form (install PIN and PUK, then generate the signing key on the token).
class TokenScreenViewModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(Selvor::TokenManager* tokenManager READ tokenManager WRITE setTokenManager NOTIFY
                   tokenManagerChanged)
    Q_PROPERTY(int step READ step NOTIFY stepChanged)
    Q_PROPERTY(QString pin READ pin WRITE setPin NOTIFY pinChanged)
    Q_PROPERTY(QString pinRepeat READ pinRepeat WRITE setPinRepeat NOTIFY pinRepeatChanged)
    Q_PROPERTY(QString puk READ puk WRITE setPuk NOTIFY pukChanged)
    Q_PROPERTY(bool isBusy READ isBusy NOTIFY isBusyChanged)
    Q_PROPERTY(QString statusMessage READ statusMessage NOTIFY statusChanged)
    Q_PROPERTY(bool isError READ isError NOTIFY statusChanged)
    // Why a connection test failed, as the token kit put it; empty otherwise.
    Q_PROPERTY(QString statusDetail READ statusDetail NOTIFY statusChanged)
    Q_PROPERTY(bool canSubmit READ canSubmit NOTIFY canSubmitChanged)

public:
    // Provisioning progress.
    enum Step { Introduction = 0, PinEntry = 1, GeneratingKey = 2, Finished = 3 };
    Q_ENUM(Step)

    explicit TokenScreenViewModel(QObject* parent = nullptr);
    // The PIN, its repeat and the PUK are wiped when the screen goes.
    ~TokenScreenViewModel() override;

    [[nodiscard]] TokenManager* tokenManager() const { return m_tokenManager; }
    void setTokenManager(TokenManager* tokenManager);
    [[nodiscard]] int step() const { return m_step; }
    [[nodiscard]] QString pin() const { return m_pin; }
    void setPin(const QString& pin);
    [[nodiscard]] QString pinRepeat() const { return m_pinRepeat; }
    void setPinRepeat(const QString& pinRepeat);
    [[nodiscard]] QString puk() const { return m_puk; }
    void setPuk(const QString& puk);
    [[nodiscard]] bool isBusy() const { return m_isBusy; }
    [[nodiscard]] QString statusMessage() const { return m_statusMessage; }
    [[nodiscard]] bool isError() const { return m_isError; }
    [[nodiscard]] QString statusDetail() const { return m_statusDetail; }
    // The form is complete (lengths in characters) and no action runs.
    [[nodiscard]] bool canSubmit() const { return m_canSubmit; }

    // "Токен тохируулах": shows the PIN/PUK form.
    Q_INVOKABLE void beginSetup();
    // "Цуцлах" and "Шинэ тохиргоо": back to the introduction with an empty form.
    Q_INVOKABLE void reset();
    // "Холболт тест".
    Q_INVOKABLE void testConnection();
    // "Тохируулах": installs PIN and PUK, then generates the signing key.
    Q_INVOKABLE void provision();

signals:
    void tokenManagerChanged();
    void stepChanged();
    void pinChanged();
    void pinRepeatChanged();
    void pukChanged();
    void isBusyChanged();
    void statusChanged();
    void canSubmitChanged();

private:
    QCoro::Task<> runConnectionTest();
    QCoro::Task<> runProvisioning();
    void setStep(int step);
    void setBusy(bool busy);
    void setStatus(const QString& message, bool isError, const QString& detail = {});
    void updateCanSubmit();
    // Wipes the PIN, its repeat and the PUK, and empties their fields.
    void clearSecrets();

    QPointer<TokenManager> m_tokenManager;
    int m_step = Introduction;
    QString m_pin;
    QString m_pinRepeat;
    QString m_puk;
    bool m_isBusy = false;
    QString m_statusMessage;
    bool m_isError = false;
    QString m_statusDetail;
    bool m_canSubmit = false;
};

} // namespace Selvor
