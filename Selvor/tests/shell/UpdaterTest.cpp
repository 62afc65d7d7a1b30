#include "UpdateFlows.hpp"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

namespace Selvor::Testing {
namespace {

using Phase = Updater::Phase;

bool waitForPhase(const Updater& updater, Phase phase) {
    return QTest::qWaitFor([&] { return updater.phase() == phase; }, 10000);
}

TEST_F(UpdateFlows, userCheck_offersTheNewerVersion_andKeepsOnlyAVerifiedDownload) {
    QSignalSpy found(updater.get(), &Updater::updateFound);
    updater->checkForUpdates();
    EXPECT_FALSE(updater->canCheckForUpdates());
    ASSERT_TRUE(waitForPhase(*updater, Phase::UpdateAvailable))
        << updater->errorText().toStdString();
    EXPECT_EQ(found.count(), 1);
    EXPECT_EQ(updater->foundVersion(), u"1.1.0"_qs);
    EXPECT_FALSE(updater->releaseNotes().isEmpty());
    EXPECT_FALSE(updater->releaseNotes().contains(u'<')) << "notes are plain text";
    EXPECT_EQ(updater->releaseNotesLink().scheme(), u"http"_qs);

    updater->downloadUpdate();
    EXPECT_EQ(updater->phase(), Phase::Downloading);
    ASSERT_TRUE(waitForPhase(*updater, Phase::ReadyToInstall))
        << updater->errorText().toStdString();
    EXPECT_EQ(updater->packagePath(), folder.path() + u"/selvor_1.1.0_amd64.deb"_qs);
    EXPECT_EQ(leftFiles(), QStringList{u"selvor_1.1.0_amd64.deb"_qs});
    EXPECT_EQ(updater->progressFraction(), 1.0);

    // No desktop here to open it: the user is told where the verified file is.
    updater->installUpdate();
    EXPECT_EQ(updater->phase(), Phase::ReadyToInstall);
    EXPECT_TRUE(updater->errorText().contains(updater->packagePath()));
}

TEST_F(UpdateFlows, refusedDownloads_sayWhy_andLeaveNothingBehind) {
    const std::pair<const char*, QString> cases[] = {
        {"tampered", u"Татсан файлын гарын үсэг баталгаажсангүй. Файлыг устгалаа."_qs},
        {"truncated", u"Татсан файлын хэмжээ зарласантай таарахгүй байна. Файлыг устгалаа."_qs}};
    for (const auto& [variant, why] : cases) {
        processSim().setAppcast("1.1.0", variant);
        updater->checkForUpdates();
        ASSERT_TRUE(waitForPhase(*updater, Phase::UpdateAvailable)) << variant;
        updater->downloadUpdate();
        ASSERT_TRUE(waitForPhase(*updater, Phase::DownloadFailed)) << variant;
        EXPECT_EQ(updater->errorText(), why) << variant;
        EXPECT_TRUE(leftFiles().isEmpty())
            << variant << ": " << leftFiles().join(u' ').toStdString();
        updater->dismiss();
    }
}

TEST_F(UpdateFlows, checks_tellCurrentOrWhyTheyFailed) {
    processSim().setAppcast("1.0.0", "signed");
    updater->checkForUpdates();
    ASSERT_TRUE(waitForPhase(*updater, Phase::UpToDate));

    processSim().setAppcast("1.1.0", "malformed");
    updater->checkForUpdates();
    ASSERT_TRUE(waitForPhase(*updater, Phase::CheckFailed));
    EXPECT_EQ(updater->errorText(), u"Шинэчлэлтийн мэдээллийг уншиж чадсангүй."_qs);
}

TEST_F(UpdateFlows, cancellingADownload_returnsToTheOffer) {
    updater->checkForUpdates();
    ASSERT_TRUE(waitForPhase(*updater, Phase::UpdateAvailable));
    processSim().addFault({.path = "/downloads/*", .kind = "stall", .stallMs = 3000});
    updater->downloadUpdate();
    QTest::qWait(100);
    updater->cancel();
    EXPECT_EQ(updater->phase(), Phase::UpdateAvailable);
    EXPECT_TRUE(updater->canCheckForUpdates());
    QTest::qWait(100);
    EXPECT_TRUE(leftFiles().isEmpty());
}

TEST_F(UpdateFlows, automaticCheck_runsAtMostOnceADay_andShowsNoDialog) {
    QSignalSpy found(updater.get(), &Updater::updateFound);
    const QDateTime start = QDateTime::currentDateTimeUtc();
    ASSERT_TRUE(updater->checkAutomatically(start));
    ASSERT_TRUE(QTest::qWaitFor([&] { return updater->canCheckForUpdates(); }, 10000));
    EXPECT_EQ(found.count(), 1);
    EXPECT_EQ(updater->phase(), Phase::Idle);

    EXPECT_FALSE(updater->checkAutomatically(start.addSecs(23 * 3600)));
    // Another run of the app reads the same stamp.
    Updater restarted(settings(folder.path()));
    EXPECT_FALSE(restarted.checkAutomatically(start.addSecs(3600)));
    EXPECT_TRUE(restarted.checkAutomatically(start.addSecs(25 * 3600)));
    restarted.cancel();
    // A clock set back past the last check checks again.
    EXPECT_TRUE(updater->checkAutomatically(start.addSecs(24 * 3600)));
    updater->cancel();
}

} // namespace
} // namespace Selvor::Testing
