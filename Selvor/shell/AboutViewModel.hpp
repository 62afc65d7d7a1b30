#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

namespace Selvor {

// What the About screen shows: the service address as the environment gives it when the screen
// is made (the client read it once at start; editing the field changes neither), this build's
// version and who makes it.
class AboutViewModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString apiBaseURL READ apiBaseURL CONSTANT)
    Q_PROPERTY(QString version READ version CONSTANT)
    Q_PROPERTY(QString team READ team CONSTANT)

public:
    explicit AboutViewModel(QObject* parent = nullptr);

    [[nodiscard]] QString apiBaseURL() const { return m_apiBaseURL; }
    [[nodiscard]] static QString version();
    [[nodiscard]] static QString team();

private:
    QString m_apiBaseURL;
};

} // namespace Selvor
