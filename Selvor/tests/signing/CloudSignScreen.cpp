#include "CloudSignScreen.hpp"

#include "api/APIClient.hpp"

#include <gtest/gtest.h>

#include <QFile>

namespace Selvor::Testing {

CloudSignScreen::CloudSignScreen() : m_appState((processSim(), APIClient::shared())) {
    m_appState.completeSignIn(QString::fromUtf8(SelvorSimTesting::SimProcess::seededNationalId),
                              QString());
    m_ui = std::make_unique<ViewHarness>(
        QStringLiteral("signing/CloudSignView.qml"),
        QVariantMap{{QStringLiteral("appState"), QVariant::fromValue(&m_appState)}},
        QSize(660, 620));
    m_model = m_ui->root()->findChild<CloudSignViewModel*>(QStringLiteral("cloudSignViewModel"));
    if (m_model)
        m_model->setPollTiming({.pollInterval = std::chrono::milliseconds(1)});
    EXPECT_NE(m_model, nullptr);
}

void CloudSignScreen::chooseLocalFile(const QString& name, const QByteArray& bytes) {
    const QString path = m_files.filePath(name);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    m_model->chooseFile(QUrl::fromLocalFile(path));
    ASSERT_TRUE(m_ui->waitFor([&] { return m_model->fileName() == name; }));
}

SelvorSimTesting::PendingRequest CloudSignScreen::phoneRequest() {
    std::vector<SelvorSimTesting::PendingRequest> pending;
    EXPECT_TRUE(m_ui->waitFor([&] {
        pending = processSim().pending();
        return !pending.empty();
    }));
    return pending.empty() ? SelvorSimTesting::PendingRequest{} : pending.front();
}

} // namespace Selvor::Testing
