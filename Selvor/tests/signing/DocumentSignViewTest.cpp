#include "TokenTesting.hpp"
#include "ViewHarness.hpp"

#include "signing/DocumentSignViewModel.hpp"
#include "token/TokenManager.hpp"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QCryptographicHash>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <future>
#include <memory>

using Selvor::DocumentSignViewModel;
using Selvor::TokenManager;
using namespace Selvor::Testing;
using TokenSimTesting::TokenSimProcess;

namespace {

constexpr std::uint8_t signInstruction = 0x2A;
const QString wrongLengthText = QStringLiteral("SHA-256 hash 32 байт (64 hex тэмдэгт) байх ёстой.");
const QString digest =
    QString::fromLatin1(QCryptographicHash::hash("Гэрээ №7", QCryptographicHash::Sha256).toHex());

class DocumentSignViewTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(waitForToken(m_manager));
        m_view = std::make_unique<ViewHarness>(
            QStringLiteral("signing/DocumentSignView.qml"),
            QVariantMap{{QStringLiteral("tokenManager"), QVariant::fromValue(&m_manager)}},
            QSize(760, 860));
        m_model = m_view->root()->property("viewModel").value<DocumentSignViewModel*>();
        ASSERT_NE(m_model, nullptr);
    }

    // Signs what the hash field holds by clicking the button; true once the run is over.
    bool signWithButton(const QString& hash) {
        m_model->setDocumentHash(hash);
        m_view->click(QStringLiteral("signButton"));
        return waitUntil([this] { return !m_model->isSigning(); });
    }

    TokenSimProcess m_token;
    TokenManager m_manager;
    std::unique_ptr<ViewHarness> m_view;
    DocumentSignViewModel* m_model = nullptr;
};

TEST_F(DocumentSignViewTest, signButtonNeedsRegisterNumberHashAndToken) {
    EXPECT_EQ(m_view->text("tokenLabel"), "Kaltor2003");
    EXPECT_FALSE(m_view->enabled("signButton"));
    m_view->typeText("documentHashField", digest);
    EXPECT_EQ(m_model->documentHash(), digest);
    EXPECT_FALSE(m_view->enabled("signButton"));
    m_view->typeText("registerNumberField", "УБ99112233");
    EXPECT_TRUE(m_view->enabled("signButton"));

    m_token.removeCard();
    ASSERT_TRUE(waitUntil([&] { return !m_manager.isTokenPresent(); }));
    m_view->settle();
    EXPECT_FALSE(m_view->enabled("signButton"));
    EXPECT_EQ(m_view->text("tokenLabel"), "Холбогдоогүй");
    EXPECT_EQ(m_view->property("tokenDot", "color").value<QColor>(), Selvor::Theme::dangerRed());

    m_token.insertCard();
    ASSERT_TRUE(waitForToken(m_manager));
    m_view->settle();
    EXPECT_TRUE(m_view->enabled("signButton"));
    EXPECT_EQ(m_view->property("tokenDot", "color").value<QColor>(), Selvor::Theme::successGreen());

    // Only emptiness counts: spaces make the button available, and the run reports the length.
    m_model->setDocumentHash("   ");
    EXPECT_TRUE(m_view->enabled("signButton"));
    m_model->setRegisterNumber({});
    EXPECT_FALSE(m_view->enabled("signButton"));
}

TEST_F(DocumentSignViewTest, separatorsAndCaseSignTheSameDigest) {
    provisionToken(m_manager);
    m_model->setRegisterNumber("УБ99112233");
    const std::vector<std::uint8_t> digestBytes = bytesFromHex(digest);
    const std::vector<std::uint8_t> publicKey = m_token.ecPublicKeyDer();
    QStringList spaced;
    for (int i = 0; i < digest.size(); i += 2)
        spaced.append(digest.mid(i, 2));
    m_token.clearLog();

    for (const QString& form : {digest, digest.toUpper(), spaced.join(' '), spaced.join(':'),
                                " " + spaced.join(" :").toUpper() + "\t"}) {
        ASSERT_TRUE(signWithButton(form)) << form.toStdString();
        EXPECT_TRUE(m_model->errorMessage().isEmpty()) << m_model->errorMessage().toStdString();
        const QString shown = m_view->text("signatureText");
        EXPECT_EQ(shown, m_model->signatureHex());
        EXPECT_TRUE(QRegularExpression("^[0-9A-F]{128}$").match(shown).hasMatch())
            << shown.toStdString();
        EXPECT_TRUE(verifiesWithKey(publicKey, digestBytes, bytesFromHex(shown)));
    }
    const auto signs = commandsWithInstruction(m_token, signInstruction);
    ASSERT_EQ(signs.size(), 5u);
    for (const auto& sign : signs)
        EXPECT_EQ(sign.apduHex, "002A9E9A20" + digest.toUpper().toStdString());
}

TEST_F(DocumentSignViewTest, malformedHashesGiveTheLengthTextAndLeaveTheTokenAlone) {
    m_model->setRegisterNumber("УБ99112233");
    m_token.clearLog();
    for (const QString& hash :
         {digest.left(63), digest + "ab", digest.left(63) + "g", QString("   ")}) {
        ASSERT_TRUE(signWithButton(hash));
        EXPECT_EQ(m_view->text("errorText"), wrongLengthText);
        EXPECT_TRUE(m_view->visible("errorBox"));
        EXPECT_FALSE(m_view->visible("signatureBox"));
        EXPECT_EQ(m_model->documentHash(), hash);
    }
    EXPECT_TRUE(m_token.commandLog().empty());
}

TEST_F(DocumentSignViewTest, copiedTextEqualsTheShownSignatureAndAFailureRemovesIt) {
    provisionToken(m_manager);
    m_model->setRegisterNumber("УБ99112233");
    ASSERT_TRUE(signWithButton(digest));
    ASSERT_TRUE(m_view->visible("signatureBox"));
    m_view->click("copyButton");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), m_view->text("signatureText"));

    ASSERT_TRUE(signWithButton(digest.left(63)));
    EXPECT_FALSE(m_view->visible("signatureBox"));
    EXPECT_TRUE(m_model->signatureHex().isEmpty());
    EXPECT_EQ(m_model->registerNumber(), "УБ99112233");
}

TEST_F(DocumentSignViewTest, tokenFailureShowsTheKitsText) {
    // No key was generated on this token, so it refuses to sign.
    m_model->setRegisterNumber("УБ99112233");
    ASSERT_TRUE(signWithButton(digest));
    const auto signs = commandsWithInstruction(m_token, signInstruction);
    ASSERT_EQ(signs.size(), 1u);
    EXPECT_EQ(
        m_view->text("errorText"),
        QStringLiteral("Гарын үсэг зурахад алдаа: SW=%1").arg(QString::fromStdString(signs[0].sw)));
    EXPECT_FALSE(m_view->visible("signatureBox"));
}

// Token work queued first holds the run back until its token is out and a token is back.
TEST_F(DocumentSignViewTest, aRunWhoseTokenIsPulledOutEndsWithTheKitsText) {
    m_model->setRegisterNumber("УБ99112233");
    m_model->setDocumentHash(digest);
    std::promise<void> release;
    m_manager.withSession(
        [held = release.get_future().share()](SelvorTokenKit::Card&) { held.wait(); });
    m_view->click(QStringLiteral("signButton"));
    ASSERT_TRUE(m_model->isSigning());
    m_token.removeCard();
    ASSERT_TRUE(waitUntil([&] { return !m_manager.isTokenPresent(); }));
    m_token.insertCard();
    ASSERT_TRUE(waitUntil([&] { return m_manager.isTokenPresent(); }));
    m_token.clearLog();
    release.set_value();

    ASSERT_TRUE(waitUntil([&] { return !m_model->isSigning(); }));
    EXPECT_EQ(m_view->text("errorText"), "Токен олдсонгүй.");
    EXPECT_FALSE(m_view->visible("signatureBox"));
    EXPECT_TRUE(commandsWithInstruction(m_token, signInstruction).empty());
    ASSERT_TRUE(waitForToken(m_manager));
    ASSERT_TRUE(signWithButton(digest));
    EXPECT_EQ(commandsWithInstruction(m_token, signInstruction).size(), 1u)
        << "the next run reaches the token put back";
}

TEST_F(DocumentSignViewTest, ctrlReturnSignsOnlyWhileTheButtonIsEnabled) {
    provisionToken(m_manager);
    m_model->setDocumentHash(digest);
    m_token.clearLog();
    m_view->pressKey(Qt::Key_Return, Qt::ControlModifier);
    m_view->settle(200);
    EXPECT_TRUE(commandsWithInstruction(m_token, signInstruction).empty());

    m_model->setRegisterNumber("УБ99112233");
    m_view->pressKey(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_TRUE(waitUntil([&] { return !m_model->signatureHex().isEmpty(); }));
    EXPECT_EQ(commandsWithInstruction(m_token, signInstruction).size(), 1u);
}

TEST_F(DocumentSignViewTest, aFileStillBeingReadKeepsTheOldDigestUnsignable) {
    // Half a gibibyte takes the hashing thread long enough for the window to be looked at.
    QTemporaryDir directory;
    QFile file(directory.filePath(QStringLiteral("large.pdf")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(qint64(512) << 20));
    file.close();
    m_model->setRegisterNumber("УБ99112233");
    const QString typed(64, 'a');
    m_model->setDocumentHash(typed);
    ASSERT_TRUE(m_view->enabled("signButton"));

    m_model->chooseFile(QUrl::fromLocalFile(file.fileName()));
    EXPECT_TRUE(m_model->isHashing());
    EXPECT_FALSE(m_view->enabled("signButton"));
    EXPECT_TRUE(m_view->property("documentHashField", "readOnly").toBool());
    m_view->pressKey(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_FALSE(m_model->isSigning());

    ASSERT_TRUE(waitUntil([&] { return !m_model->isHashing(); }, 30000));
    EXPECT_NE(m_model->documentHash(), typed);
    EXPECT_EQ(m_model->documentHash().size(), 64);
    EXPECT_TRUE(m_view->enabled("signButton"));
}

} // namespace
