#pragma once

#include "account/AccountViewModel.hpp"

#include <QVariantList>

namespace Selvor {

// The identity card: the person's header and a grid of captioned facts.
class IdentityViewModel : public AccountViewModel {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(bool hasData READ hasData NOTIFY changed)
    Q_PROPERTY(QString initials READ initials NOTIFY changed)
    Q_PROPERTY(QString fullName READ fullName NOTIFY changed)
    Q_PROPERTY(QString nationalId READ nationalId NOTIFY changed)
    // Each cell: caption, value and the Theme colour of the value.
    Q_PROPERTY(QVariantList cells READ cells NOTIFY changed)

public:
    explicit IdentityViewModel(QObject* parent = nullptr);

    [[nodiscard]] bool hasData() const { return m_hasData; }
    [[nodiscard]] QString initials() const { return m_initials; }
    [[nodiscard]] QString fullName() const { return m_fullName; }
    [[nodiscard]] QString nationalId() const { return m_nationalId; }
    [[nodiscard]] QVariantList cells() const { return m_cells; }

protected:
    void refresh() override;

private:
    bool m_hasData = false;
    QString m_initials;
    QString m_fullName;
    QString m_nationalId;
    QVariantList m_cells;
};

} // namespace Selvor
