#pragma once

#include "account/AccountViewModel.hpp"

namespace Selvor {

// The security screen: the certificate count and the KYC level.
class SecurityViewModel : public AccountViewModel {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString certificateText READ certificateText NOTIFY changed)
    Q_PROPERTY(QString kycText READ kycText NOTIFY changed)

public:
    explicit SecurityViewModel(QObject* parent = nullptr);

    [[nodiscard]] QString certificateText() const { return m_certificateText; }
    [[nodiscard]] QString kycText() const { return m_kycText; }

protected:
    void refresh() override;

private:
    QString m_certificateText;
    QString m_kycText;
};

} // namespace Selvor
