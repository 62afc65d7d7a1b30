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
