#include "TokenTesting.hpp"

#include "token/TokenManager.hpp"

#include <gtest/gtest.h>

#include <QCoroTask>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <atomic>
#include <vector>

using Selvor::TokenManager;
using Selvor::Testing::tokenOptions;
using Selvor::Testing::waitForToken;
using Selvor::Testing::waitUntil;
using TokenSimTesting::TokenSimProcess;

namespace {

const QString readerName = QStringLiteral("Virtual PCD 00 00");

TEST(TokenManagerPresence, startsAbsentWithAnEmptyReader) {
    TokenSimProcess token;
    token.removeCard();
    TokenManager manager;
    QSignalSpy tokenInfoChanges(&manager, &TokenManager::tokenInfoChanged);
    // The watcher reports the readers it finds; none of them holds a card.
    ASSERT_TRUE(waitUntil([&] { return manager.readerNames().contains(readerName); }));
    QTest::qWait(300);
    EXPECT_FALSE(manager.isTokenPresent());
    EXPECT_FALSE(manager.tokenInfo().has_value());
    EXPECT_TRUE(manager.errorMessage().isEmpty());
    EXPECT_EQ(tokenInfoChanges.count(), 0);
}

TEST(TokenManagerInfo, readsLabelAtrAndFipsFromAtrByte19) {
    {
        TokenSimProcess token(tokenOptions(true));
        TokenManager manager;
        ASSERT_TRUE(waitForToken(manager));
        const SelvorTokenKit::TokenInfo& info = *manager.tokenInfo();
        EXPECT_EQ(info.label, "Kaltor2003");
        ASSERT_GE(info.atr.size(), 20u);
        EXPECT_EQ(info.atr[19], 0x03);
        EXPECT_TRUE(info.isFIPS);
        EXPECT_TRUE(info.appletSelected);
        const QVariantMap shown = manager.tokenInfoValue().toMap();
        EXPECT_EQ(shown.value("label").toString(), "Kaltor2003");
        EXPECT_TRUE(shown.value("isFIPS").toBool());
        EXPECT_EQ(shown.value("atrHex").toString().toStdString(), info.atrHex());
    }
    {
        // The flag comes from the ATR alone: a token in DES mode whose ATR says 03 counts.
        const std::string fipsAtr = "3BCF008131FE454B616C746F72323030330000030000E9";
        TokenSimProcess token(tokenOptions(false, fipsAtr));
        TokenManager manager;
        ASSERT_TRUE(waitForToken(manager));
        EXPECT_EQ(manager.tokenInfo()->atrHex(), fipsAtr);
        EXPECT_TRUE(manager.tokenInfo()->isFIPS);
        EXPECT_EQ(manager.tokenInfoValue().toMap().value("atrHex").toString(),
                  QString::fromStdString(fipsAtr));
    }
    {
        TokenSimProcess token;
        TokenManager manager;
        ASSERT_TRUE(waitForToken(manager));
        EXPECT_EQ(manager.tokenInfo()->atr.at(19), 0x01);
        EXPECT_FALSE(manager.tokenInfo()->isFIPS);
    }
    {
        // 19 bytes: there is no byte 19.
        const std::string shortAtr = "3BCB008131FE454B616C746F723230303300EE";
        TokenSimProcess token(tokenOptions(false, shortAtr));
        TokenManager manager;
        ASSERT_TRUE(waitForToken(manager));
        EXPECT_EQ(manager.tokenInfo()->atrHex(), shortAtr);
        EXPECT_FALSE(manager.tokenInfo()->isFIPS);
    }
}

TEST(TokenManagerConnection, failedTestSetsErrorMessageThatALaterSuccessKeeps) {
    TokenSimProcess token;
    TokenManager manager;
    ASSERT_TRUE(waitForToken(manager));
    QSignalSpy errorChanges(&manager, &TokenManager::errorMessageChanged);

    token.removeCard();
    ASSERT_TRUE(waitUntil([&] { return !manager.isTokenPresent(); }));
    EXPECT_FALSE(QCoro::waitFor(manager.testConnection()));
    EXPECT_EQ(manager.errorMessage(), "Токен олдсонгүй.");
    EXPECT_EQ(errorChanges.count(), 1);

    token.insertCard();
    ASSERT_TRUE(waitForToken(manager));
    token.clearLog();
    EXPECT_TRUE(QCoro::waitFor(manager.testConnection()));
    EXPECT_EQ(manager.errorMessage(), "Токен олдсонгүй.");
    EXPECT_EQ(errorChanges.count(), 1);

    const auto log = token.commandLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].apduHex.substr(0, 8), "00A40400");
    EXPECT_EQ(log[1].apduHex, "0084000008");
    EXPECT_EQ(log[1].sw, "9000");
}

TEST(TokenManagerSessions, tokenWorkRunsOffTheGuiThreadOneAfterAnother) {
    TokenSimProcess token;
    TokenManager manager;
    ASSERT_TRUE(waitForToken(manager));
    QThread* const guiThread = QThread::currentThread();
    std::atomic<int> running{0};
    std::atomic<bool> overlapped{false};
    std::atomic<bool> onGuiThread{false};
    std::vector<QFuture<void>> runs;
    for (int i = 0; i < 4; ++i)
        runs.push_back(manager.withSession([&](SelvorTokenKit::Card& card) {
            overlapped = overlapped || running.fetch_add(1) != 0;
            onGuiThread = onGuiThread || QThread::currentThread() == guiThread;
            manager.driver().getChallenge(card);
            running.fetch_sub(1);
        }));
    for (QFuture<void>& run : runs)
        run.waitForFinished();
    EXPECT_FALSE(overlapped);
    EXPECT_FALSE(onGuiThread);
}

} // namespace
