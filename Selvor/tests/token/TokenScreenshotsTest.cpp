#include "TokenTesting.hpp"
#include "ViewHarness.hpp"

#include "signing/DocumentSignViewModel.hpp"
#include "token/TokenManager.hpp"
#include "token/TokenProvisioner.hpp"
#include "token/TokenScreenViewModel.hpp"

#include <gtest/gtest.h>

#include <QFileInfo>

#include <future>
#include <memory>

using Selvor::DocumentSignViewModel;
using Selvor::TokenManager;
using Selvor::TokenScreenViewModel;
using namespace Selvor::Testing;
using TokenSimTesting::TokenSimProcess;

namespace {

const QVariantMap propertiesFor(TokenManager& manager) {
    return {{QStringLiteral("tokenManager"), QVariant::fromValue(&manager)}};
}

void expectScreenshots(ViewHarness& view, const QString& name) {
    const QStringList paths = view.saveScreenshots(name);
    ASSERT_EQ(paths.size(), 2);
    for (const QString& path : paths)
        EXPECT_GT(QFileInfo(path).size(), 0) << path.toStdString();
}

class TokenScreenshots : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(waitForToken(m_manager)); }

    TokenSimProcess m_token;
    TokenManager m_manager;
};

TEST_F(TokenScreenshots, tokenScreenInEveryStep) {
    ViewHarness view(QStringLiteral("token/TokenScreen.qml"), propertiesFor(m_manager),
                     QSize(860, 1000));
    auto* model = view.root()->property("viewModel").value<TokenScreenViewModel*>();
    ASSERT_NE(model, nullptr);
    expectScreenshots(view, "token-introduction");

    view.click("beginSetupButton");
    view.typeText("pinField", testPin);
    view.typeText("pinRepeatField", testPin);
    view.typeText("pukField", testPuk);
    expectScreenshots(view, "token-pin-entry");

    // Key generation is held back until the step has been photographed.
    std::promise<void> photographed;
    std::shared_future<void> released = photographed.get_future().share();
    QObject::connect(model, &TokenScreenViewModel::stepChanged, [&] {
        if (model->step() == TokenScreenViewModel::GeneratingKey)
            m_manager.withSession([released](SelvorTokenKit::Card&) { released.wait(); });
    });
    view.click("provisionButton");
    ASSERT_TRUE(waitUntil([&] { return model->step() == TokenScreenViewModel::GeneratingKey; }));
    expectScreenshots(view, "token-generating");
    photographed.set_value();
    ASSERT_TRUE(waitUntil([&] { return !model->isBusy(); }));
    expectScreenshots(view, "token-finished");

    // A wrong PIN while generating the key: back on the form with the warning.
    view.click("startOverButton");
    QObject::disconnect(model, &TokenScreenViewModel::stepChanged, nullptr, nullptr);
    QObject::connect(model, &TokenScreenViewModel::stepChanged, [&] {
        if (model->step() == TokenScreenViewModel::GeneratingKey)
            m_manager.withSession([](SelvorTokenKit::Card& card) {
                Selvor::TokenProvisioner provisioner;
                provisioner.initializeToken(card, "999999", "99999999");
            });
    });
    view.click("beginSetupButton");
    view.typeText("pinField", testPin);
    view.typeText("pinRepeatField", testPin);
    view.typeText("pukField", testPuk);
    view.click("provisionButton");
    ASSERT_TRUE(waitUntil([&] { return !model->isBusy(); }));
    ASSERT_TRUE(model->isError());
    expectScreenshots(view, "token-error");

    m_token.removeCard();
    ASSERT_TRUE(waitUntil([&] { return !m_manager.isTokenPresent(); }));
    model->testConnection();
    ASSERT_TRUE(waitUntil([&] { return !model->isBusy(); }));
    expectScreenshots(view, "token-absent");
    EXPECT_EQ(view.text("deviceStatus"), "Холбогдоогүй");
    EXPECT_EQ(view.text("statusText"), "Холболт амжилтгүй");
    EXPECT_FALSE(view.visible("setupSection") || view.visible("embeddedDocumentSign"));
}

TEST_F(TokenScreenshots, documentSigning) {
    provisionToken(m_manager);
    ViewHarness view(QStringLiteral("signing/DocumentSignView.qml"), propertiesFor(m_manager),
                     QSize(760, 820));
    auto* model = view.root()->property("viewModel").value<DocumentSignViewModel*>();
    ASSERT_NE(model, nullptr);
    expectScreenshots(view, "document-sign-empty");

    model->setRegisterNumber("УБ99112233");
    model->setDocumentName("Гэрээ.pdf");
    model->setDocumentHash("9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08");
    view.click("signButton");
    ASSERT_TRUE(waitUntil([&] { return !model->signatureHex().isEmpty(); }));
    expectScreenshots(view, "document-sign-signed");

    model->setDocumentHash("9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a0");
    view.click("signButton");
    ASSERT_TRUE(waitUntil([&] { return !model->errorMessage().isEmpty(); }));
    expectScreenshots(view, "document-sign-error");
}

} // namespace
