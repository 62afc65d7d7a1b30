#include "signing/FileDigest.hpp"
#include "signing/DocumentSignViewModel.hpp"
#include "signing/FileHasher.hpp"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <QCoroTask>

#include <sys/stat.h>

using Selvor::DocumentSignViewModel;
using Selvor::FileReadError;
using Selvor::sha256HexOfFile;

namespace {

// QCoro::waitFor does not hand a task's exception over, so the failure is caught in the task.
QCoro::Task<QString> failureOf(Selvor::FileHasher& hasher, const QString& path) {
    try {
        auto hashing = hasher.sha256Hex(path);
        co_await hashing;
    } catch (const FileReadError& error) {
        co_return QString::fromStdString(error.what());
    }
    co_return QString();
}

QCoro::Task<> failureInto(Selvor::FileHasher& hasher, const QString& path, QString& failure,
                          bool& done) {
    auto hashing = failureOf(hasher, path);
    failure = co_await hashing;
    done = true;
}

class FileDigestTest : public testing::Test {
protected:
    QString write(const QString& name, const QByteArray& contents) {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
        return path;
    }

    // Several read chunks and a ragged tail.
    static QByteArray largeContents() {
        QByteArray contents;
        contents.reserve(3 * 1024 * 1024 + 7);
        for (int i = 0; i < 3 * 1024 * 1024 + 7; ++i)
            contents.append(static_cast<char>((i * 31 + i / 4093) & 0xFF));
        return contents;
    }

    QTemporaryDir m_dir;
};

TEST_F(FileDigestTest, givesTheLowerCaseHexSha256OfTheContents) {
    EXPECT_EQ(sha256HexOfFile(write("empty", {})),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(sha256HexOfFile(write("abc", "abc")),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");

    const QByteArray contents = largeContents();
    EXPECT_EQ(sha256HexOfFile(write("large.bin", contents)),
              QString::fromLatin1(
                  QCryptographicHash::hash(contents, QCryptographicHash::Sha256).toHex()));
}

TEST_F(FileDigestTest, unreadableFileThrowsTheSystemsDescription) {
    try {
        sha256HexOfFile(m_dir.filePath("missing.pdf"));
        FAIL() << "no error for a missing file";
    } catch (const FileReadError& error) {
        EXPECT_STREQ(error.what(), "No such file or directory");
    }
    EXPECT_THROW(sha256HexOfFile(m_dir.path()), FileReadError);
}

// Only a regular file that stays as it was is hashed: a FIFO would block the reading thread (and
// with it leaving the screen or quitting), a device never ends, and a file changed while it is
// read has a digest of no version of it.
TEST_F(FileDigestTest, refusesAnythingButARegularFileThatStaysTheSame) {
    const QString fifo = m_dir.filePath("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : {fifo, QStringLiteral("/dev/zero")}) {
        try {
            sha256HexOfFile(path);
            ADD_FAILURE() << "hashed " << path.toStdString();
        } catch (const FileReadError& error) {
            EXPECT_STREQ(error.what(), "Энгийн файл биш байна.") << path.toStdString();
        }
    }

    const QString path = m_dir.filePath("growing.bin");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(qint64(256) << 20));
    Selvor::FileHasher hasher;
    bool done = false;
    QString failure;
    auto hashing = failureInto(hasher, path, failure, done);
    // Touched until the hash ends, so that some change falls inside it however fast it reads.
    for (int second = 0; !done; ++second) {
        const timespec times[2] = {{0, UTIME_OMIT}, {second, 0}};
        ASSERT_EQ(::futimens(file.handle(), times), 0);
        QTest::qWait(1);
    }
    EXPECT_EQ(failure, "Файл уншиж байх үед өөрчлөгдсөн.");
}

TEST_F(FileDigestTest, hasherGivesTheSameDigestFromItsThread) {
    Selvor::FileHasher hasher;
    const QByteArray contents = largeContents();
    EXPECT_EQ(QCoro::waitFor(hasher.sha256Hex(write("large.bin", contents))),
              QString::fromLatin1(
                  QCryptographicHash::hash(contents, QCryptographicHash::Sha256).toHex()));
    EXPECT_EQ(QCoro::waitFor(failureOf(hasher, m_dir.filePath("missing"))),
              "No such file or directory");
}

TEST_F(FileDigestTest, choosingFilesFillsTheHashAndKeepsAFirstName) {
    DocumentSignViewModel model;
    model.chooseFile(QUrl::fromLocalFile(write("Гэрээ 2024.pdf", "abc")));
    EXPECT_TRUE(model.isHashing());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !model.isHashing(); }));
    EXPECT_EQ(model.documentHash(),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(model.documentName(), "Гэрээ 2024.pdf");

    model.chooseFile(QUrl::fromLocalFile(write("other.txt", {})));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !model.isHashing(); }));
    EXPECT_EQ(model.documentHash(),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(model.documentName(), "Гэрээ 2024.pdf");
    EXPECT_TRUE(model.errorMessage().isEmpty());
}

TEST_F(FileDigestTest, typedNameIsKeptAndAnUnreadableFileChangesNothingButTheError) {
    DocumentSignViewModel model;
    model.setDocumentName("Миний гэрээ");
    model.setDocumentHash("typed");

    model.chooseFile(QUrl::fromLocalFile(m_dir.filePath("gone.pdf")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !model.isHashing(); }));
    EXPECT_EQ(model.errorMessage(), "Файл уншиx алдаа: No such file or directory");
    EXPECT_EQ(model.documentHash(), "typed");
    EXPECT_EQ(model.documentName(), "Миний гэрээ");

    // A later good file replaces the hash but neither the typed name nor the shown error.
    model.chooseFile(QUrl::fromLocalFile(write("b.pdf", "abc")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !model.isHashing(); }));
    EXPECT_EQ(model.documentHash(),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(model.documentName(), "Миний гэрээ");
    EXPECT_EQ(model.errorMessage(), "Файл уншиx алдаа: No such file or directory");
}

TEST_F(FileDigestTest, aCancelledPanelChangesNothing) {
    DocumentSignViewModel model;
    model.chooseFile(QUrl());
    EXPECT_FALSE(model.isHashing());
    EXPECT_TRUE(model.documentHash().isEmpty());
    EXPECT_TRUE(model.documentName().isEmpty());
}

TEST_F(FileDigestTest, viewModelGoingAwayDuringAHashIsSafe) {
    QByteArray contents(64 * 1024 * 1024, 'x');
    const QString path = write("big.bin", contents);
    {
        DocumentSignViewModel model;
        model.chooseFile(QUrl::fromLocalFile(path));
    }
    QTest::qWait(50);
}

} // namespace
