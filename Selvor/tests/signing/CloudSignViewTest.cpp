#include "CloudSignScreen.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <QSignalSpy>

namespace Selvor {
namespace {

using Testing::CloudSignScreen;
using Testing::processSim;

constexpr const char* statusPath = "/web/auth/session/*";

void answerStatusWith(const nlohmann::json& body, int times) {
    processSim().addFault({.path = statusPath,
                           .method = "GET",
                           .status = 200,
                           .body = body.dump(),
                           .contentType = "application/json",
                           .times = times});
}

int statusCalls() {
    int calls = 0;
    for (const auto& request : processSim().requestLog())
        calls += request.path.starts_with("/web/auth/session/") ? 1 : 0;
    return calls;
}

class CloudSignRuns : public ::testing::Test {
protected:
    void SetUp() override {
        Testing::unlinkClouds();
        processSim().clearFaults();
        screenMade = std::make_unique<CloudSignScreen>();
        ASSERT_NO_FATAL_FAILURE(screen().chooseLocalFile(QStringLiteral("report.pdf"), "%PDF-1.4"));
        processSim().clearRequestLog();
    }
    void TearDown() override { processSim().clearFaults(); }

    // Presses the sign button and waits for the run to end.
    void sign() {
        auto& ui = screen().ui();
        ui.click(QStringLiteral("signButton"));
        EXPECT_FALSE(ui.enabled(QStringLiteral("signButton")));
        EXPECT_TRUE(ui.visible(QStringLiteral("signButtonSpinner")));
        ASSERT_TRUE(ui.waitFor([&] { return !screen().model().isSigning(); }, 20000));
        EXPECT_TRUE(ui.enabled(QStringLiteral("signButton")));
    }

    [[nodiscard]] QString shownError() {
        return screen().ui().text(QStringLiteral("fileErrorText"));
    }

    CloudSignScreen& screen() { return *screenMade; }

    std::unique_ptr<CloudSignScreen> screenMade;
};

TEST_F(CloudSignRuns, completeOnTheThirdCallSucceedsWhateverEarlierResultsSaid) {
    answerStatusWith({{"state", "PENDING"}, {"result", "USER_REFUSED"}}, 2);
    answerStatusWith({{"state", "COMPLETE"}, {"result", "OK"}}, 1);
    const QSignalSpy answered(&screen().appState(), &AppState::phoneAnswered);
    ASSERT_NO_FATAL_FAILURE(sign());
    EXPECT_EQ(answered.count(), 1) << "the window asks for attention";
    EXPECT_EQ(statusCalls(), 3);
    EXPECT_EQ(screen().model().signResult(), QStringLiteral("OK"));
    auto& ui = screen().ui();
    EXPECT_TRUE(ui.visible(QStringLiteral("successBox")));
    EXPECT_FALSE(ui.visible(QStringLiteral("fileError")));
    EXPECT_TRUE(ui.visible(QStringLiteral("saveLocallyButton")));
    // No link known: no cloud to store the copy in.
    EXPECT_FALSE(ui.visible(QStringLiteral("uploadGoogleButton")));
    EXPECT_FALSE(ui.visible(QStringLiteral("uploadDropboxButton")));

    // Loading another file hides the result.
    ASSERT_NO_FATAL_FAILURE(screen().chooseLocalFile(QStringLiteral("other.pdf"), "x"));
    EXPECT_FALSE(ui.visible(QStringLiteral("successBox")));
}

// A refusal is the phone's answer and asks for attention; a lapse is not.
TEST_F(CloudSignRuns, endingsOtherThanApprovalShowTheirText) {
    struct Ending {
        nlohmann::json answer;
        QString text;
        int phoneAnswers;
    };
    const std::vector<Ending> endings{
        {{{"state", "COMPLETE"}, {"result", "USER_REFUSED"}}, QStringLiteral("Татгалзлаа"), 1},
        {{{"state", "COMPLETE"}}, QStringLiteral("Хугацаа дууслаа"), 0},
        {{{"state", "COMPLETE"}, {"result", "TIMEOUT"}}, QStringLiteral("Хугацаа дууслаа"), 0},
    };
    for (const auto& [answer, text, phoneAnswers] : endings) {
        SCOPED_TRACE(answer.dump());
        processSim().clearFaults();
        answerStatusWith(answer, 1);
        const QSignalSpy answered(&screen().appState(), &AppState::phoneAnswered);
        ASSERT_NO_FATAL_FAILURE(sign());
        EXPECT_EQ(shownError(), text);
        EXPECT_EQ(answered.count(), phoneAnswers);
        EXPECT_FALSE(screen().ui().visible(QStringLiteral("successBox")));
    }
}

TEST_F(CloudSignRuns, noAnswerEndsAfterOneHundredFiftyCalls) {
    ASSERT_NO_FATAL_FAILURE(sign());
    EXPECT_EQ(statusCalls(), 150);
    EXPECT_EQ(shownError(), QStringLiteral("Хугацаа дууслаа"));
    // The phone was asked about this file, by name.
    const auto requests = processSim().pending();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().displayText, "report.pdf гарын үсэг");
}

TEST(CloudSignScreenRules, failuresWithoutAFileShowBelowTheStorageBox) {
    Testing::unlinkClouds();
    CloudSignScreen screen;
    auto& ui = screen.ui();
    ASSERT_TRUE(ui.waitFor([&] {
        return ui.text(QStringLiteral("googleButton")) == QStringLiteral("Google Drive холбох");
    }));
    EXPECT_FALSE(ui.visible(QStringLiteral("fileBox")));
    EXPECT_FALSE(ui.visible(QStringLiteral("successBox")));
    EXPECT_FALSE(ui.visible(QStringLiteral("storageError")));

    // Not linked, a token is refused: the listing's failure has nowhere else to go.
    processSim().linkCloud("google");
    screen.model().loadConnections();
    ASSERT_TRUE(ui.waitFor([&] { return screen.model().googleConnected(); }));
    Testing::unlinkClouds();
    ui.click(QStringLiteral("googleButton"));
    ASSERT_TRUE(ui.waitFor([&] { return ui.visible(QStringLiteral("storageError")); }));
    EXPECT_FALSE(ui.text(QStringLiteral("storageErrorText")).isEmpty());

    // A file loaded clears it; the hash row shows 32 + "..." + 16 characters.
    ASSERT_NO_FATAL_FAILURE(screen.chooseLocalFile(QStringLiteral("<img src=x>.pdf"), "abc"));
    EXPECT_FALSE(ui.visible(QStringLiteral("storageError")));
    EXPECT_EQ(ui.text(QStringLiteral("fileName")), QStringLiteral("<img src=x>.pdf"));
    EXPECT_EQ(ui.text(QStringLiteral("fileHash")),
              QStringLiteral("ba7816bf8f01cfea414140de5dae2223...b410ff61f20015ad"));
    EXPECT_EQ(ui.text(QStringLiteral("fileHash")).size(), 51);
    EXPECT_TRUE(ui.enabled(QStringLiteral("signButton")));

    // An unreadable file keeps the one shown and says why.
    screen.model().chooseFile(QUrl::fromLocalFile(QStringLiteral("/nonexistent/file.pdf")));
    ASSERT_TRUE(ui.waitFor([&] { return ui.visible(QStringLiteral("fileError")); }));
    EXPECT_TRUE(
        ui.text(QStringLiteral("fileErrorText")).startsWith(QStringLiteral("Файл уншиx алдаа: ")));
    EXPECT_EQ(ui.text(QStringLiteral("fileName")), QStringLiteral("<img src=x>.pdf"));
}

} // namespace
} // namespace Selvor
