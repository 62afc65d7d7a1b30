#include "ProcessSim.hpp"

#include "api/APIError.hpp"
#include "api/Cancellation.hpp"
#include "api/CancelledError.hpp"
#include "signing/CloudConnector.hpp"
#include "signing/ConsentRunner.hpp"
#include "signing/DownloadFile.hpp"

#include <gtest/gtest.h>

#include <QCoroTask>
#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <optional>

namespace Selvor {
namespace {

using SelvorSimTesting::Fault;
using SelvorSimTesting::LoggedRequest;
using Testing::processSim;

struct Outcome {
    std::exception_ptr failure;
    bool done = false;
};

// Plain functions, not lambdas: a coroutine lambda's captures die with the closure.
template <typename T>
QCoro::Task<> settle(QCoro::Task<T>& task, std::optional<T>& value, Outcome& outcome) {
    try {
        value = co_await task;
    } catch (...) {
        outcome.failure = std::current_exception();
    }
    outcome.done = true;
}

QCoro::Task<> settle(QCoro::Task<>& task, Outcome& outcome) {
    try {
        co_await task;
    } catch (...) {
        outcome.failure = std::current_exception();
    }
    outcome.done = true;
}

void finish(const Outcome& outcome) {
    EXPECT_TRUE(QTest::qWaitFor([&] { return outcome.done; }, 30000));
    if (outcome.failure)
        std::rethrow_exception(outcome.failure);
}

// Runs a task on the event loop to its end; rethrows what it threw.
template <typename T> T await(QCoro::Task<T> task) {
    std::optional<T> value;
    Outcome outcome;
    settle(task, value, outcome);
    finish(outcome);
    return std::move(value.value());
}

void await(QCoro::Task<> task) {
    Outcome outcome;
    settle(task, outcome);
    finish(outcome);
}

class ProviderRequestsOnTheWire : public ::testing::Test {
protected:
    void SetUp() override {
        token = QString::fromStdString(processSim().linkCloud("google"));
        processSim().clearRequestLog();
        processSim().clearFaults();
    }
    void TearDown() override { processSim().clearFaults(); }

    // The one request the simulator logged at `path`.
    static LoggedRequest logged(const std::string& path) {
        std::optional<LoggedRequest> found;
        for (const LoggedRequest& request : processSim().requestLog()) {
            if (request.path == path)
                found = request;
        }
        EXPECT_TRUE(found) << "no request to " << path;
        return found.value_or(LoggedRequest{});
    }

    static QString fileWith(const QTemporaryDir& dir, const QByteArray& bytes) {
        const QString path = dir.filePath(QStringLiteral("payload"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    // First: the connector reads the simulator's address when it is made.
    SelvorSimTesting::SimProcess& sim = processSim();
    CloudConnector connector;
    QString token;
    QTemporaryDir dir;
};

// Provider requests carry the bearer token and nothing of the service's own headers.
void expectProviderHeaders(const LoggedRequest& request, const QString& token) {
    EXPECT_EQ(request.header("Authorization"), "Bearer " + token.toStdString());
    EXPECT_NE(request.header("User-Agent"), "Selvor-Desktop/1.0");
    EXPECT_NE(request.header("Accept"), "application/json");
}

TEST_F(ProviderRequestsOnTheWire, googleDriveListsDownloadsAndUploadsByteForByte) {
    const auto files = await(connector.listProviderFiles(CloudProvider::google, token));
    const LoggedRequest listing = logged("/drive/v3/files");
    EXPECT_EQ(listing.method, "GET");
    EXPECT_EQ(listing.rawQuery, "q=mimeType!='application/vnd.google-apps.folder'&fields=files(id,"
                                "name)&pageSize=20&orderBy=modifiedTime%20desc");
    expectProviderHeaders(listing, token);
    // Newest first, no folders, one page.
    ASSERT_EQ(files.size(), 20u);
    for (const CloudFile& file : files)
        EXPECT_FALSE(file.name.startsWith(QStringLiteral("Архив")));

    DownloadFile copy;
    await(
        connector.downloadProviderFile(CloudProvider::google, token, files[1], copy, {}, nullptr));
    const QString hash = await(copy.finish());
    const std::string content = processSim().cloudFileContent("google", files[1].id.toStdString());
    EXPECT_EQ(hash.toStdString(), QCryptographicHash::hash(QByteArray::fromStdString(content),
                                                           QCryptographicHash::Sha256)
                                      .toHex()
                                      .toStdString());
    EXPECT_EQ(logged("/drive/v3/files/" + files[1].id.toStdString()).rawQuery, "alt=media");

    const QByteArray bytes("\x01\x02", 2);
    EXPECT_TRUE(await(connector.uploadProviderFile(
        CloudProvider::google, token, QStringLiteral("a.pdf"), fileWith(dir, bytes), {}, nullptr)));
    const LoggedRequest upload = logged("/upload/drive/v3/files");
    EXPECT_EQ(upload.rawQuery, "uploadType=multipart");
    expectProviderHeaders(upload, token);
    const std::string type = upload.header("Content-Type").value_or("");
    const QRegularExpression uuid(
        QStringLiteral("^multipart/related; boundary=([0-9A-F]{8}-[0-9A-F]{4}-"
                       "[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12})$"));
    const auto match = uuid.match(QString::fromStdString(type));
    ASSERT_TRUE(match.hasMatch()) << type;
    const std::string b = match.captured(1).toStdString();
    EXPECT_EQ(upload.body,
              "--" + b + "\r\nContent-Type: application/json\r\n\r\n{\"name\":\"a.pdf\"}\r\n--" +
                  b + "\r\nContent-Type: application/octet-stream\r\n\r\n\x01\x02\r\n--" + b +
                  "--");

    // A quote cannot close the name, and Cyrillic travels as UTF-8.
    const QString awkward = QStringLiteral("signed_Тайлан \"2026\".pdf");
    EXPECT_TRUE(await(connector.uploadProviderFile(CloudProvider::google, token, awkward,
                                                   fileWith(dir, "x"), {}, nullptr)));
    EXPECT_NE(
        logged("/upload/drive/v3/files").body.find(R"({"name":"signed_Тайлан \"2026\".pdf"})"),
        std::string::npos);
    bool found = false;
    for (const auto& file : processSim().cloudFiles("google"))
        found = found || file.name == awkward.toStdString();
    EXPECT_TRUE(found);
}

TEST_F(ProviderRequestsOnTheWire, dropboxListsDownloadsAndUploadsWithAsciiArguments) {
    token = QString::fromStdString(processSim().linkCloud("dropbox"));
    processSim().clearRequestLog();
    const auto files = await(connector.listProviderFiles(CloudProvider::dropbox, token));
    const LoggedRequest listing = logged("/2/files/list_folder");
    EXPECT_EQ(listing.method, "POST");
    EXPECT_EQ(listing.body, R"({"path":"","limit":20})");
    EXPECT_EQ(listing.header("Content-Type"), "application/json");
    expectProviderHeaders(listing, token);
    // The first page of 20 entries, less its folders.
    EXPECT_LT(files.size(), 20u);
    EXPECT_GT(files.size(), 10u);

    DownloadFile copy;
    await(connector.downloadProviderFile(CloudProvider::dropbox, token, files.front(), copy, {},
                                         nullptr));
    const LoggedRequest download = logged("/2/files/download");
    EXPECT_EQ(download.header("Dropbox-API-Arg"),
              "{\"path\":\"" + files.front().id.toStdString() + "\"}");
    EXPECT_EQ(download.header("Content-Type"), std::nullopt);
    EXPECT_EQ(
        copy.size(),
        qint64(processSim().cloudFileContent("dropbox", files.front().id.toStdString()).size()));

    // Mongolian names upload: the header carries them as \u escapes; a quote cannot turn "add"
    // into "overwrite".
    const QString name = QStringLiteral("signed_Тайлан\",\"mode\":\"overwrite.pdf");
    await(connector.uploadProviderFile(CloudProvider::dropbox, token, name,
                                       fileWith(dir, "dropbox bytes"), {}, nullptr));
    const LoggedRequest upload = logged("/2/files/upload");
    EXPECT_EQ(
        upload.header("Dropbox-API-Arg"),
        R"({"path":"/signed_\u0422\u0430\u0439\u043b\u0430\u043d\",\"mode\":\"overwrite.pdf","mode":"add"})");
    EXPECT_EQ(upload.header("Content-Type"), "application/octet-stream");
    EXPECT_EQ(upload.body, "dropbox bytes");
}

TEST_F(ProviderRequestsOnTheWire, answersOfOtherShapesAndStatuses) {
    const auto answerWith = [](const std::string& path, int status, const std::string& body) {
        processSim().addFault({.path = path,
                               .kind = "status",
                               .status = status,
                               .body = body,
                               .contentType = "application/json",
                               .times = 1});
    };
    const QString dropboxToken = QString::fromStdString(processSim().linkCloud("dropbox"));
    // Dropbox: entries without an id are skipped, other shapes list nothing, non-JSON fails.
    answerWith(
        "/2/files/list_folder", 200,
        R"({"entries":[{".tag":"file","name":"a","id":"id:1"},{".tag":"file","name":"b"},)"
        R"({".tag":"folder","name":"c","id":"id:3"},{".tag":"file","name":"d","id":"id:4"}]})");
    const auto kept = await(connector.listProviderFiles(CloudProvider::dropbox, dropboxToken));
    EXPECT_EQ(kept, (std::vector<CloudFile>{{"id:1", "a"}, {"id:4", "d"}}));
    for (const char* shape : {R"([1,2])", R"({"entries":{}})", R"({"entries":[1]})", R"({})"}) {
        answerWith("/2/files/list_folder", 200, shape);
        EXPECT_TRUE(
            await(connector.listProviderFiles(CloudProvider::dropbox, dropboxToken)).empty())
            << shape;
    }
    answerWith("/2/files/list_folder", 200, "<html>");
    EXPECT_THROW(await(connector.listProviderFiles(CloudProvider::dropbox, dropboxToken)),
                 APIError);

    // Google: a provider error object is not a listing.
    answerWith("/drive/v3/files", 401, R"({"error":{"code":401}})");
    EXPECT_THROW(await(connector.listProviderFiles(CloudProvider::google, token)), APIError);

    // A refused download or upload fails with its status; the error body is never the file.
    DownloadFile copy;
    answerWith("/drive/v3/files/x", 401, R"({"error":"unauthorized"})");
    try {
        await(connector.downloadProviderFile(CloudProvider::google, token, {"x", "x"}, copy, {},
                                             nullptr));
        ADD_FAILURE() << "a 401 download succeeded";
    } catch (const ProviderStatusError& error) {
        EXPECT_STREQ(error.what(), "HTTP 401");
    }
    EXPECT_EQ(copy.size(), 0);
    answerWith("/2/files/upload", 507, R"({"error_summary":"insufficient_space"})");
    EXPECT_THROW(
        await(connector.uploadProviderFile(CloudProvider::dropbox, dropboxToken,
                                           QStringLiteral("a"), fileWith(dir, "a"), {}, nullptr)),
        ProviderStatusError);
    // An answer 2xx but not 200 stores, and tells Google's caller it may not have.
    answerWith("/upload/drive/v3/files", 201, "{}");
    EXPECT_FALSE(await(connector.uploadProviderFile(
        CloudProvider::google, token, QStringLiteral("a"), fileWith(dir, "a"), {}, nullptr)));
}

TEST_F(ProviderRequestsOnTheWire, transfersReportProgressAndStopWhenCancelled) {
    QByteArray large(3 << 20, 'z');
    const QString path = fileWith(dir, large);
    std::vector<std::pair<qint64, qint64>> steps;
    EXPECT_TRUE(await(connector.uploadProviderFile(
        CloudProvider::google, token, QStringLiteral("large.bin"), path,
        [&steps](qint64 done, qint64 total) { steps.emplace_back(done, total); }, nullptr)));
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.back().first, steps.back().second);
    EXPECT_GT(steps.back().second, large.size());

    processSim().addFault(
        {.path = "/drive/v3/files/slow", .kind = "stall", .stallMs = 5000, .times = 1});
    Cancellation cancellation;
    DownloadFile copy;
    QTimer::singleShot(50, &cancellation, &Cancellation::cancel);
    EXPECT_THROW(await(connector.downloadProviderFile(CloudProvider::google, token,
                                                      {"slow", "slow"}, copy, {}, &cancellation)),
                 CancelledError);
}

TEST(ConsentCallback, firstCodeOfASelvorloginCallback) {
    EXPECT_EQ(ConsentRunner::codeFromCallback(
                  QStringLiteral("selvorlogin://cloud/callback?state=x&code=abc&code=def")),
              QStringLiteral("abc"));
    EXPECT_EQ(
        ConsentRunner::codeFromCallback(QStringLiteral("selvorlogin://cloud/callback?code=4%2Fab")),
        QStringLiteral("4/ab"));
    for (const char* none : {"selvorlogin://cloud/callback?state=x&error=access_denied",
                             "selvorlogin://cloud/callback?code=&code=abc",
                             "https://evil.example/callback?code=abc", "", "not a url at all"})
        EXPECT_EQ(ConsentRunner::codeFromCallback(QString::fromUtf8(none)), std::nullopt) << none;
}

TEST(ConsentRunnerProcess, readsTheCodeTheHelperPrintsAndNothingElse) {
    QTemporaryDir dir;
    const auto helper = [&dir](const QByteArray& script) {
        const QString path = dir.filePath(QStringLiteral("helper"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("#!/bin/sh\n" + script);
        file.setPermissions(QFile::ReadOwner | QFile::ExeOwner | QFile::WriteOwner);
        return ConsentRunner(path);
    };
    const QString url = QStringLiteral("https://consent.example/auth?state=1");
    EXPECT_EQ(await(helper("echo 'selvorlogin://cloud/callback?state=1&code=c%2B1'\n")
                        .runConsent(url, QStringLiteral("Dropbox"))),
              QStringLiteral("c+1"));
    // A closed window, a crash, or no helper at all give no code.
    EXPECT_EQ(await(helper("exit 1\n").runConsent(url, QStringLiteral("Dropbox"))), std::nullopt);
    EXPECT_EQ(await(helper("kill -9 $$\n").runConsent(url, QStringLiteral("Dropbox"))),
              std::nullopt);
    EXPECT_EQ(await(ConsentRunner(dir.filePath(QStringLiteral("missing")))
                        .runConsent(url, QStringLiteral("Dropbox"))),
              std::nullopt);
    // The consent address must be a web page.
    EXPECT_EQ(await(helper("echo 'selvorlogin://x?code=1'\n")
                        .runConsent(QStringLiteral("file:///etc/passwd"), QStringLiteral("x"))),
              std::nullopt);
}

} // namespace
} // namespace Selvor
