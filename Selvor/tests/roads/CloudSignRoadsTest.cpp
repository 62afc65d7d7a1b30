#include "Road.hpp"

#include <QCryptographicHash>
#include <QFile>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTest>

namespace Selvor::Testing {
namespace {

using SelvorSimTesting::CloudFileInfo;

const QString quotedName = QStringLiteral("Тайлан \"2026\".pdf");
const QString markupName = QStringLiteral("<b>bold</b> <img src=x>.pdf");

// Links, lists, fetches, signs and stores against the simulator's Google Drive and Dropbox.
// Consent runs through a stand-in for the browser helper that answers the simulator's consent
// page as the person would; the helper itself is tested on its own under a real X server.
class CloudRoad : public Road {
protected:
    static void SetUpTestSuite() {
        startSimulator({.largeCloudFileMb = 3});
        qputenv("SELVOR_CONSENT_HELPER", SELVOR_CONSENT_STAND_IN);
    }

    void SetUp() override {
        // Every road starts with no link, as a new user does.
        for (const char* provider : {"google", "dropbox"})
            sim().send("DELETE", std::string("/web/cloud/") + provider + "/disconnect");
        qputenv("SELVOR_TEST_CONSENT", "allow");
        qputenv("SELVOR_TEST_CONSENT_LOG", QByteArray(consentLog.filePath("consent").toUtf8()));
        ASSERT_NO_FATAL_FAILURE(Road::SetUp());
        ASSERT_NO_FATAL_FAILURE(signInByPush(firstPerson()));
        ASSERT_NO_FATAL_FAILURE(visit(QStringLiteral("sign")));
        ASSERT_TRUE(ui.waitFor([&] { return ui.exists(QStringLiteral("cloudSignView")); }));
    }

    // The list dialog's items join the window only while it is open.
    [[nodiscard]] bool cloudFilesShown() const {
        return ui.exists(QStringLiteral("cloudFileList")) &&
               ui.visible(QStringLiteral("cloudFileList"));
    }

    [[nodiscard]] QObject& dialog(const char* name) const {
        auto* found = app->window()->findChild<QObject*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }

    // The file as the simulator keeps it.
    static CloudFileInfo stored(const std::string& provider, const QString& name) {
        for (const CloudFileInfo& file : sim().cloudFiles(provider)) {
            if (file.name == name.toStdString())
                return file;
        }
        ADD_FAILURE() << provider << " holds no " << name.toStdString();
        return {};
    }

    void link(const QString& button) {
        ui.click(button);
        ASSERT_TRUE(ui.waitFor([&] { return ui.text(button).contains(u'@'); }));
    }

    // Presses the provider's button and picks `name` from the list with the keyboard.
    void pickCloudFile(const QString& button, const QString& name) {
        ui.click(button);
        ASSERT_TRUE(ui.waitFor([&] { return cloudFilesShown(); }));
        const QStringList names =
            ui.property(QStringLiteral("cloudFileList"), "model").toStringList();
        const auto index = names.indexOf(name);
        ASSERT_GE(index, 0) << name.toStdString();
        for (int step = 0; step < index; ++step)
            ui.pressKey(Qt::Key_Down);
        ui.pressKey(Qt::Key_Return);
        ASSERT_TRUE(ui.waitFor([&] { return ui.text(QStringLiteral("fileName")) == name; }));
    }

    // Opens the sign run, approves it on the phone as the person does, waits for the result.
    void signOnPhone(const QString& name) {
        ui.click(QStringLiteral("signButton"));
        EXPECT_TRUE(ui.visible(QStringLiteral("signButtonSpinner")));
        const auto request = phoneRequest();
        EXPECT_EQ(request.displayText, (name + QStringLiteral(" гарын үсэг")).toStdString());
        EXPECT_EQ(request.nationalId, firstPerson().nationalID.toStdString());
        sim().approve(request.id);
        ASSERT_TRUE(ui.waitFor([&] { return ui.visible(QStringLiteral("successBox")); }, 8000));
    }

    // The request on the phone, waited for while the window keeps running.
    SelvorSimTesting::PendingRequest phoneRequest() {
        std::vector<SelvorSimTesting::PendingRequest> pending;
        EXPECT_TRUE(ui.waitFor([&] {
            pending = sim().pending();
            return !pending.empty();
        }));
        return pending.empty() ? SelvorSimTesting::PendingRequest{} : pending.front();
    }

    QTemporaryDir consentLog;
};

// A new user links both providers, signs a Drive file with a phone approval, and stores the
// signed copy in both clouds and on disk, each byte for byte the original.
TEST_F(CloudRoad, linkBothSignACloudFileAndStoreItEverywhere) {
    EXPECT_EQ(ui.text(QStringLiteral("googleButton")), QStringLiteral("Google Drive холбох"));
    EXPECT_EQ(ui.text(QStringLiteral("dropboxButton")), QStringLiteral("Dropbox холбох"));
    EXPECT_FALSE(ui.visible(QStringLiteral("fileBox")));

    ASSERT_NO_FATAL_FAILURE(link(QStringLiteral("googleButton")));
    ASSERT_NO_FATAL_FAILURE(link(QStringLiteral("dropboxButton")));
    EXPECT_EQ(ui.text(QStringLiteral("googleButton")),
              QStringLiteral("Google Drive (temuujin.b@gmail.com)"));
    EXPECT_EQ(ui.text(QStringLiteral("dropboxButton")),
              QStringLiteral("Dropbox (temuujin.b@dropbox.mn)"));
    QFile consentArguments(consentLog.filePath("consent"));
    ASSERT_TRUE(consentArguments.open(QIODevice::ReadOnly));
    const QString arguments = QString::fromUtf8(consentArguments.readAll());
    EXPECT_TRUE(arguments.startsWith(QStringLiteral("--title\nGoogle Drive\n")))
        << arguments.toStdString();
    EXPECT_TRUE(arguments.contains(QStringLiteral("--title\nDropbox\n")));

    // The list shows outside names as they are, markup included.
    ui.click(QStringLiteral("googleButton"));
    ASSERT_TRUE(ui.waitFor([&] { return cloudFilesShown(); }));
    EXPECT_EQ(ui.text(QStringLiteral("cloudFileDialogTitle")),
              QStringLiteral("Google Drive файлууд"));
    const QStringList names = ui.property(QStringLiteral("cloudFileList"), "model").toStringList();
    EXPECT_EQ(names.size(), 20);
    EXPECT_TRUE(names.contains(markupName));
    EXPECT_TRUE(ui.waitFor([&] { return allTexts().contains(markupName); }));
    ui.click(QStringLiteral("cloudFileCancelButton"));
    ASSERT_TRUE(ui.waitFor([&] { return !cloudFilesShown(); }));
    EXPECT_FALSE(ui.visible(QStringLiteral("fileBox")));

    ASSERT_NO_FATAL_FAILURE(pickCloudFile(QStringLiteral("googleButton"), quotedName));
    const CloudFileInfo original = stored("google", quotedName);
    const QString hash = QString::fromStdString(original.sha256);
    EXPECT_EQ(ui.text(QStringLiteral("fileHash")), hash.left(32) + "..." + hash.right(16));
    EXPECT_FALSE(ui.visible(QStringLiteral("successBox")));

    ASSERT_NO_FATAL_FAILURE(signOnPhone(quotedName));
    EXPECT_TRUE(ui.visible(QStringLiteral("uploadGoogleButton")));
    EXPECT_TRUE(ui.visible(QStringLiteral("uploadDropboxButton")));

    const QString signedName = QStringLiteral("signed_") + quotedName;
    ui.click(QStringLiteral("uploadGoogleButton"));
    ASSERT_TRUE(ui.waitFor([&] { return !ui.visible(QStringLiteral("transferStatus")); }));
    ui.click(QStringLiteral("uploadDropboxButton"));
    ASSERT_TRUE(ui.waitFor([&] { return !ui.visible(QStringLiteral("transferStatus")); }));
    EXPECT_EQ(stored("google", signedName).sha256, original.sha256);
    EXPECT_EQ(stored("dropbox", signedName).sha256, original.sha256);

    QTemporaryDir folder;
    const QString target = folder.filePath(signedName);
    QObject& saveDialog = dialog("fileDialog");
    // Where the user goes in the panel, before it opens; the name is the one it proposes.
    saveDialog.setProperty("currentFolder", QUrl::fromLocalFile(folder.path()));
    ui.click(QStringLiteral("saveLocallyButton"));
    ASSERT_TRUE(ui.waitFor([&] { return saveDialog.property("visible").toBool(); }));
    EXPECT_EQ(saveDialog.property("selectedFile").toUrl().toLocalFile(), target);
    QMetaObject::invokeMethod(&saveDialog, "accept");
    ASSERT_TRUE(ui.waitFor([&] { return QFile::exists(target); }));
    ASSERT_TRUE(ui.waitFor([&] { return !ui.visible(QStringLiteral("transferStatus")); }));
    QFile saved(target);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll().toStdString(), sim().cloudFileContent("google", original.id));
    EXPECT_EQ(ui.text(QStringLiteral("fileErrorText")), QString());
}

// Failures show where they can be read, and a run's approval never lands on another file.
TEST_F(CloudRoad, failuresShowAndAnApprovalStaysWithItsFile) {
    sim().linkCloud("google");
    sim().linkCloud("dropbox");
    // Made again, the screen finds the links.
    ASSERT_NO_FATAL_FAILURE(visit(QStringLiteral("home")));
    ASSERT_NO_FATAL_FAILURE(visit(QStringLiteral("sign")));
    ASSERT_TRUE(ui.waitFor([&] { return ui.text(QStringLiteral("googleButton")).contains(u'@'); }));

    // A listing that fails while no file is loaded.
    sim().addFault({.path = "/drive/v3/files", .kind = "broken_json", .times = 1});
    ui.click(QStringLiteral("googleButton"));
    ASSERT_TRUE(ui.waitFor([&] { return ui.visible(QStringLiteral("storageError")); }));
    EXPECT_FALSE(ui.text(QStringLiteral("storageErrorText")).isEmpty());

    // A download the provider refuses: its error body is not taken for the file.
    sim().addFault({.path = "/2/files/download", .kind = "status", .status = 401, .times = 1});
    ui.click(QStringLiteral("dropboxButton"));
    ASSERT_TRUE(ui.waitFor([&] { return cloudFilesShown(); }));
    ui.pressKey(Qt::Key_Return);
    ASSERT_TRUE(ui.waitFor([&] {
        return ui.text(QStringLiteral("storageErrorText")) ==
               QStringLiteral("Файл татах алдаа: HTTP 401");
    }));
    EXPECT_FALSE(ui.visible(QStringLiteral("fileBox")));

    // The 3 MB file: fetched with its progress shown, then loaded with its own digest.
    ASSERT_NO_FATAL_FAILURE(
        pickCloudFile(QStringLiteral("dropboxButton"), QStringLiteral("Том_файл.bin")));
    EXPECT_FALSE(ui.visible(QStringLiteral("storageError")));
    const QString hash =
        QString::fromStdString(stored("dropbox", QStringLiteral("Том_файл.bin")).sha256);
    EXPECT_EQ(ui.text(QStringLiteral("fileHash")), hash.left(32) + "..." + hash.right(16));

    // Refused on the phone.
    ui.click(QStringLiteral("signButton"));
    sim().refuse(phoneRequest().id);
    ASSERT_TRUE(ui.waitFor(
        [&] { return ui.text(QStringLiteral("fileErrorText")) == QStringLiteral("Татгалзлаа"); },
        8000));
    EXPECT_TRUE(ui.enabled(QStringLiteral("signButton")));

    // Another file loaded while the phone is asked: the approval was for the first one.
    ui.click(QStringLiteral("signButton"));
    const auto request = phoneRequest();
    QTemporaryDir folder;
    const QString local = folder.filePath(QStringLiteral("гэрээ.pdf"));
    QFile file(local);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("%PDF-1.4 local");
    file.close();
    ASSERT_NO_FATAL_FAILURE(
        chooseInFilePanel(QStringLiteral("chooseFileButton"), folder.path(), local));
    ASSERT_TRUE(ui.waitFor(
        [&] { return ui.text(QStringLiteral("fileName")) == QStringLiteral("гэрээ.pdf"); }));
    EXPECT_TRUE(ui.enabled(QStringLiteral("signButton")));
    sim().approve(request.id);
    ui.settle(300);
    EXPECT_FALSE(ui.visible(QStringLiteral("successBox")));

    // Signed for itself, then an upload the provider refuses.
    ASSERT_NO_FATAL_FAILURE(signOnPhone(QStringLiteral("гэрээ.pdf")));
    sim().addFault({.path = "/upload/drive/v3/files", .kind = "status", .status = 403, .times = 1});
    ui.click(QStringLiteral("uploadGoogleButton"));
    ASSERT_TRUE(ui.waitFor([&] {
        return ui.text(QStringLiteral("fileErrorText")) ==
               QStringLiteral("Cloud хадгалах алдаа: HTTP 403");
    }));
    EXPECT_TRUE(ui.visible(QStringLiteral("successBox")));
}

// A consent window closed unanswered, or a refusal, links nothing and reports nothing.
TEST_F(CloudRoad, consentClosedOrRefusedLinksNothing) {
    for (const char* answer : {"close", "deny"}) {
        qputenv("SELVOR_TEST_CONSENT", answer);
        ui.click(QStringLiteral("googleButton"));
        ASSERT_TRUE(ui.waitFor([&] { return ui.enabled(QStringLiteral("googleButton")); }));
        ui.settle(200);
        EXPECT_EQ(ui.text(QStringLiteral("googleButton")), QStringLiteral("Google Drive холбох"));
        EXPECT_FALSE(ui.visible(QStringLiteral("storageError")));
    }
}

} // namespace
} // namespace Selvor::Testing
