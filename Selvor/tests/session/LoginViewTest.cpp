#include "SignInFixture.hpp"
#include "ViewHarness.hpp"

#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

namespace Selvor::Testing {
namespace {

using Phase = LoginViewModel::Phase;

class LoginViewTest : public SignInFixture {
protected:
    void SetUp() override {
        SignInFixture::SetUp();
        // The portal never opens in a real browser from a test.
        login->setUrlOpener([](const QUrl&) { return true; });
        view = std::make_unique<ViewHarness>(
            QStringLiteral("session/LoginView.qml"),
            QVariantMap{{QStringLiteral("appState"), QVariant::fromValue(appState.get())},
                        {QStringLiteral("viewModel"), QVariant::fromValue(login.get())}});
    }
    void TearDown() override {
        view.reset();
        SignInFixture::TearDown();
    }

    std::unique_ptr<ViewHarness> view;
};

TEST_F(LoginViewTest, idle_showsHeaderAndRegisterNumberForm) {
    EXPECT_EQ(view->text(u"headerTitle"_qs), u"Selvor"_qs);
    EXPECT_EQ(view->text(u"headerSubtitle"_qs), u"Тоон гарын үсгийн систем"_qs);
    EXPECT_EQ(view->text(u"methodRegisterNumber"_qs), u"Регистрийн дугаар"_qs);
    EXPECT_EQ(view->text(u"methodQrCode"_qs), u"QR код"_qs);
    EXPECT_EQ(view->text(u"registerNumberLabel"_qs), u"Регистрийн дугаар"_qs);
    EXPECT_TRUE(view->visible(u"registerNumberForm"_qs));
    EXPECT_FALSE(view->visible(u"qrSection"_qs));
    EXPECT_FALSE(view->visible(u"errorLine"_qs));
    EXPECT_EQ(view->text(u"signInButton"_qs), u"Нэвтрэх"_qs);
    EXPECT_EQ(view->text(u"webSignInButton"_qs), u"Вэб хөтчөөр нэвтрэх"_qs);
}

TEST_F(LoginViewTest, signInButton_isDisabledForBlankInput) {
    EXPECT_FALSE(view->enabled(u"signInButton"_qs));
    view->typeText(u"registerNumberField"_qs, u"   "_qs);
    EXPECT_FALSE(view->enabled(u"signInButton"_qs));
    view->pressKey(Qt::Key_Return);
    EXPECT_EQ(login->phase(), Phase::Idle) << "Return does nothing for blank input";
    view->typeText(u"registerNumberField"_qs, u"уп91042312"_qs);
    EXPECT_TRUE(view->enabled(u"signInButton"_qs));
}

// The register number field has the desktop's usual edit menu, and what it pastes stays text.
TEST_F(LoginViewTest, registerNumberField_pastesFromItsContextMenu) {
    QQuickItem* field = view->item(u"registerNumberField"_qs);
    ASSERT_NE(field, nullptr);
    QGuiApplication::clipboard()->setText(u"<b>уп91042312</b>"_qs);
    QTest::mouseClick(&view->window(), Qt::RightButton, Qt::NoModifier,
                      field->mapToScene({field->width() / 2, field->height() / 2}).toPoint());
    ASSERT_TRUE(view->waitFor([&] { return view->visible(u"pasteMenuItem"_qs); }));
    EXPECT_FALSE(view->enabled(u"copyMenuItem"_qs)) << "nothing is selected";
    view->click(u"pasteMenuItem"_qs);
    EXPECT_EQ(view->text(u"registerNumberField"_qs), u"<b>уп91042312</b>"_qs);
    EXPECT_TRUE(view->waitFor([&] { return view->focusedName() == u"registerNumberField"_qs; }))
        << "typing goes on in the field";
}

TEST_F(LoginViewTest, returnInField_startsPushAndWaitingShowsCodeAndCountdown) {
    view->typeText(u"registerNumberField"_qs, u"уп91042312"_qs);
    view->pressKey(Qt::Key_Return);
    EXPECT_NE(login->phase(), Phase::Idle);
    ASSERT_TRUE(view->waitFor([&] { return login->phase() == Phase::Waiting; }));
    view->settle();
    EXPECT_EQ(view->text(u"waitingTitle"_qs), u"Утсандаа баталгаажуулна уу"_qs);
    EXPECT_EQ(view->items(u"codeBox"_qs).size(), login->verificationCode().size());
    // A screen reader hears the code whole, not box by box.
    QAccessible::setActive(true);
    QString spoken =
        QAccessible::queryAccessibleInterface(view->item(u"codeBoxes"_qs))->text(QAccessible::Name);
    EXPECT_EQ(spoken.remove(u' '), u"Баталгаажуулахкод:"_qs + login->verificationCode());
    EXPECT_EQ(view->text(u"codeHint"_qs),
              u"Энэ кодыг утасны app дээр харуулсан кодтой тулгана уу"_qs);
    EXPECT_TRUE(view->text(u"countdownText"_qs).endsWith(u'0') ||
                view->text(u"countdownText"_qs).startsWith(u"4:"));
    EXPECT_EQ(view->text(u"cancelButton"_qs), u"Цуцлах"_qs);
    view->item(u"codeBoxes"_qs)->forceActiveFocus();
    view->pressKey(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), login->verificationCode()) << "copied whole";

    view->click(u"cancelButton"_qs);
    EXPECT_EQ(login->phase(), Phase::Idle);
    EXPECT_TRUE(view->visible(u"registerNumberForm"_qs));
}

TEST_F(LoginViewTest, refusal_showsErrorLineInIdleContent) {
    answerWith("/web/auth/session/*", R"({"state":"COMPLETE","result":"REFUSED"})");
    view->typeText(u"registerNumberField"_qs, u"УП91042312"_qs);
    view->click(u"signInButton"_qs);
    ASSERT_TRUE(view->waitFor([&] { return login->phase() == Phase::Failed; }));
    view->settle();
    EXPECT_TRUE(view->visible(u"errorLine"_qs));
    EXPECT_EQ(view->text(u"errorMessage"_qs), u"Татгалзлаа."_qs);
    EXPECT_TRUE(view->visible(u"signInButton"_qs));
}

TEST_F(LoginViewTest, qrMethod_showsProgressThenTheCode_andAfterAFailureOnlyTheReason) {
    view->click(u"methodQrCode"_qs);
    EXPECT_TRUE(view->visible(u"qrSection"_qs));
    EXPECT_FALSE(view->visible(u"registerNumberForm"_qs));
    ASSERT_TRUE(view->waitFor([&] { return view->visible(u"qrFrame"_qs); }));
    EXPECT_FALSE(view->visible(u"qrProgress"_qs));
    EXPECT_EQ(view->text(u"qrHint"_qs), u"Selvor аппаар QR кодыг скан хийнэ үү"_qs);
    EXPECT_EQ(view->property(u"qrImage"_qs, "width").toInt(), 200);
    EXPECT_GT(view->property(u"qrFrame"_qs, "width").toInt(), 200) << "the code clears the corners";

    // Neither a code that nothing watches nor a spinner stays beside the failure.
    sim->addFault({.path = "/web/auth/qr/status/*", .kind = "drop"});
    ASSERT_TRUE(view->waitFor([&] { return login->phase() == Phase::Failed; }));
    view->settle();
    EXPECT_TRUE(view->visible(u"errorLine"_qs));
    EXPECT_FALSE(view->visible(u"qrFrame"_qs));
    EXPECT_FALSE(view->visible(u"qrProgress"_qs));

    view->click(u"methodRegisterNumber"_qs);
    EXPECT_FALSE(login->hasQrImage());
    EXPECT_TRUE(view->visible(u"registerNumberForm"_qs));
}

} // namespace
} // namespace Selvor::Testing
