#include "TokenTesting.hpp"
#include "ViewHarness.hpp"

#include "token/TokenManager.hpp"
#include "token/TokenProvisioner.hpp"
#include "token/TokenScreenViewModel.hpp"

#include <gtest/gtest.h>

#include <QQuickItem>

#include <functional>
#include <future>
#include <memory>

using Selvor::TokenManager;
using Selvor::TokenScreenViewModel;
using namespace Selvor::Testing;
using TokenSimTesting::TokenSimProcess;

namespace {

class TokenScreenViewTest : public testing::Test {
protected:
    explicit TokenScreenViewTest(const TokenSimTesting::TokenSimOptions& options = {})
        : m_token(options) {}

    void SetUp() override {
        ASSERT_TRUE(waitForToken(m_manager));
        m_view = std::make_unique<ViewHarness>(
            QStringLiteral("token/TokenScreen.qml"),
            QVariantMap{{QStringLiteral("tokenManager"), QVariant::fromValue(&m_manager)}},
            QSize(860, 1400));
        m_model = m_view->root()->property("viewModel").value<TokenScreenViewModel*>();
        ASSERT_NE(m_model, nullptr);
    }

    void fillForm(const QString& pin, const QString& repeat, const QString& puk) {
        m_view->typeText("pinField", pin);
        m_view->typeText("pinRepeatField", repeat);
        m_view->typeText("pukField", puk);
    }

    TokenSimProcess m_token;
    TokenManager m_manager;
    std::unique_ptr<ViewHarness> m_view;
    TokenScreenViewModel* m_model = nullptr;
};

TEST_F(TokenScreenViewTest, presentTokenShowsStatusInformationAndSetup) {
    EXPECT_EQ(m_view->text("deviceStatus"), "Холбогдсон");
    EXPECT_EQ(m_view->text("deviceDetail"), "USB токен бэлэн");
    EXPECT_EQ(m_view->property("deviceIcon", "symbol").toString(), "checkmark.shield.fill");
    EXPECT_TRUE(m_view->visible("infoSection"));
    EXPECT_EQ(m_view->text("infoLabel"), "Kaltor2003");
    EXPECT_EQ(m_view->text("infoFips"), "Үгүй");
    EXPECT_EQ(m_view->text("infoAtr").toStdString(), m_manager.tokenInfo()->atrHex());
    EXPECT_TRUE(m_view->visible("setupSection"));
    EXPECT_TRUE(m_view->visible("introductionStep"));
    EXPECT_FALSE(m_view->visible("pinEntryStep"));
    EXPECT_TRUE(m_view->visible("embeddedDocumentSign"));
    EXPECT_FALSE(m_view->visible("statusLine"));
}

// The signing view comes and goes with the token: the next token finds empty fields, and a run
// still queued when the token went never reaches the token put back.
TEST_F(TokenScreenViewTest, documentSigningStartsAfreshWithEachToken) {
    provisionToken(m_manager);
    m_view->typeText("registerNumberField", "УБ99112233");
    m_view->typeText("documentNameField", "Гэрээ.pdf");
    m_view->typeText("documentHashField", QString(64, 'a'));
    m_view->click("signButton");
    ASSERT_TRUE(waitUntil([&] { return m_view->visible("signatureBox"); }));

    std::promise<void> release;
    m_manager.withSession(
        [held = release.get_future().share()](SelvorTokenKit::Card&) { held.wait(); });
    m_view->click("signButton");
    m_token.removeCard();
    ASSERT_TRUE(waitUntil([&] { return !m_manager.isTokenPresent(); }));
    m_view->settle();
    EXPECT_FALSE(m_view->exists("documentSignView"));
    m_token.insertCard();
    ASSERT_TRUE(waitUntil([&] { return m_manager.isTokenPresent(); }));
    m_token.clearLog();
    release.set_value();
    ASSERT_TRUE(waitForToken(m_manager));
    m_view->settle();

    EXPECT_TRUE(m_view->visible("embeddedDocumentSign"));
    for (const char* field : {"registerNumberField", "documentNameField", "documentHashField"})
        EXPECT_TRUE(m_view->text(field).isEmpty()) << field;
    EXPECT_FALSE(m_view->visible("signatureBox"));
    EXPECT_FALSE(m_view->visible("errorBox"));
    EXPECT_FALSE(m_view->property("signButton", "busy").toBool());
    EXPECT_TRUE(commandsWithInstruction(m_token, 0x2A).empty());
}

TEST_F(TokenScreenViewTest, formCountsCharactersAndNeedsAMatchingRepeat) {
    m_view->click("beginSetupButton");
    EXPECT_TRUE(m_view->visible("pinEntryStep"));
    for (const char* field : {"pinField", "pinRepeatField", "pukField"})
        EXPECT_EQ(m_view->property(field, "echoMode").toInt(), 2) << field; // masked

    fillForm("12345", "12345", "12345678");
    EXPECT_FALSE(m_view->enabled("provisionButton"));
    m_model->reset();
    m_model->beginSetup();
    fillForm("123456", "123456", "1234567");
    EXPECT_FALSE(m_view->enabled("provisionButton"));
    m_view->typeText("pukField", "8");
    EXPECT_TRUE(m_view->enabled("provisionButton"));
    m_view->typeText("pinRepeatField", "7");
    EXPECT_FALSE(m_view->enabled("provisionButton"));

    // Six Cyrillic letters are six characters (twelve bytes); five are not enough.
    m_model->setPin("пинкод");
    m_model->setPinRepeat("пинкод");
    EXPECT_TRUE(m_view->enabled("provisionButton"));
    m_model->setPin("пинко");
    m_model->setPinRepeat("пинко");
    EXPECT_FALSE(m_view->enabled("provisionButton"));
    // No upper limit in the form.
    m_model->setPin(QString(20, '7'));
    m_model->setPinRepeat(QString(20, '7'));
    EXPECT_TRUE(m_view->enabled("provisionButton"));

    m_view->click("cancelButton");
    EXPECT_TRUE(m_view->visible("introductionStep"));
    EXPECT_TRUE(m_model->pin().isEmpty());
    EXPECT_TRUE(m_view->text("pinField").isEmpty());

    m_view->click("beginSetupButton");
    fillForm("123456", "123456", "12345678");
    m_view->pressKey(Qt::Key_Escape);
    EXPECT_TRUE(m_view->visible("introductionStep"));
    EXPECT_TRUE(m_model->puk().isEmpty());
}

TEST_F(TokenScreenViewTest, wrongPinDuringKeyGenerationShowsTheFormWithTheWarning) {
    QObject::connect(m_model, &TokenScreenViewModel::stepChanged, [&] {
        if (m_model->step() == TokenScreenViewModel::GeneratingKey)
            m_manager.withSession([](SelvorTokenKit::Card& card) {
                Selvor::TokenProvisioner provisioner;
                provisioner.initializeToken(card, "999999", "99999999");
            });
    });
    m_view->click("beginSetupButton");
    fillForm(testPin, testPin, testPuk);
    m_view->click("provisionButton");
    ASSERT_TRUE(waitUntil([&] { return !m_model->isBusy(); }));
    m_view->settle();
    EXPECT_TRUE(m_view->visible("pinEntryStep"));
    EXPECT_EQ(m_view->text("statusText"), "PIN буруу байна. 2 оролдлого үлдсэн.");
    EXPECT_EQ(m_view->property("statusIcon", "symbol").toString(), "exclamationmark.triangle.fill");
    // The PIN and PUK left memory with the run: the form asks for them again.
    for (const char* field : {"pinField", "pinRepeatField", "pukField"})
        EXPECT_TRUE(m_view->text(field).isEmpty()) << field;
    EXPECT_TRUE(m_model->pin().isEmpty() && m_model->pinRepeat().isEmpty() &&
                m_model->puk().isEmpty());
    EXPECT_FALSE(m_view->enabled("provisionButton"));
}

// The token pulled out in the middle of each action, at the command named: the screen says
// so, the token thread is free at once, and the token put back works.
class TokenPulledOut : public TokenScreenViewTest, public testing::WithParamInterface<bool> {
protected:
    TokenPulledOut() : TokenScreenViewTest(tokenOptions(GetParam())) {}

    void provisionByHand() {
        m_model->reset();
        m_view->click("beginSetupButton");
        fillForm(testPin, testPin, testPuk);
        m_view->click("provisionButton");
    }
};

TEST_P(TokenPulledOut, midActionSaysWhyAndTheNextInsertionWorks) {
    struct Case {
        const char* action;
        int commandsAnswered;
        std::function<void()> start;
        // The line that keeps the kit's text once the token has gone, if the action has one,
        // and the text.
        const char* reasonLine;
        const char* reason;
    };
    const Case cases[] = {
        {"connection test, GET CHALLENGE", 1, [&] { m_view->click("testConnectionButton"); },
         "statusDetail", "Токен баталгаажуулалт амжилтгүй."},
        {"token information", 0, [&] { m_view->click("refreshButton"); }, nullptr, nullptr},
        {"mutual authentication", 3, [&] { provisionByHand(); }, "statusText",
         "Токен баталгаажуулалт амжилтгүй."},
        {"PIN and PUK, first PUT DATA", 4, [&] { provisionByHand(); }, "statusText",
         "Secure messaging алдаа."},
        {"key pair, VERIFY", 10, [&] { provisionByHand(); }, "statusText",
         "Secure messaging алдаа."},
        {"key pair, GENERATE", 11, [&] { provisionByHand(); }, "statusText",
         "Secure messaging алдаа."},
        {"signing, SIGN", 1,
         [&] {
             m_view->typeText("registerNumberField", "УБ99112233");
             m_view->typeText("documentNameField", "Гэрээ.pdf");
             m_view->typeText("documentHashField", QString(64, 'a'));
             m_view->click("signButton");
         },
         nullptr, nullptr},
    };
    for (const Case& pulledOut : cases) {
        SCOPED_TRACE(pulledOut.action);
        m_token.removeAfterCommands(pulledOut.commandsAnswered);
        pulledOut.start();
        ASSERT_TRUE(waitUntil([&] { return !m_manager.isTokenPresent() && !m_model->isBusy(); }));
        m_view->settle();
        EXPECT_EQ(m_view->text("deviceStatus"), "Холбогдоогүй");
        if (pulledOut.reasonLine) {
            EXPECT_EQ(m_view->text(pulledOut.reasonLine).toStdString(), pulledOut.reason);
        }
        auto nextWork = m_manager.withSession([](SelvorTokenKit::Card&) {});
        EXPECT_TRUE(waitUntil([&] { return nextWork.isFinished(); }, 2000));

        m_token.insertCard();
        ASSERT_TRUE(waitForToken(m_manager));
        m_view->click("testConnectionButton");
        ASSERT_TRUE(waitUntil([&] { return !m_model->isBusy(); }));
        EXPECT_EQ(m_model->statusMessage(), "Холболт амжилттай");
    }
}

INSTANTIATE_TEST_SUITE_P(DesAndFips, TokenPulledOut, testing::Bool(),
                         [](const auto& info) { return info.param ? "fips" : "des"; });

} // namespace
