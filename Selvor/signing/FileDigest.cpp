#include "signing/FileDigest.hpp"

#include <QFile>

#include <SelvorTokenKit/LibCrypto.hpp>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Selvor {

namespace {

constexpr size_t chunkSize = 1 << 20;

struct DigestContextDeleter {
    void operator()(EVP_MD_CTX* context) const {
        SelvorTokenKit::libCrypto().EVP_MD_CTX_free(context);
    }
};
using DigestContext = std::unique_ptr<EVP_MD_CTX, DigestContextDeleter>;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    [[nodiscard]] int get() const { return m_fd; }

private:
    int m_fd;
};

void check(int status) {
    if (status != 1)
        throw std::runtime_error("SHA-256 failed");
}

[[noreturn]] void throwSystemError() {
    throw FileReadError(std::strerror(errno));
}

struct stat statusOf(const FileDescriptor& file) {
    struct stat status {};
    if (::fstat(file.get(), &status) != 0)
        throwSystemError();
    return status;
}

bool sameVersion(const struct stat& before, const struct stat& after) {
    return before.st_dev == after.st_dev && before.st_ino == after.st_ino &&
           before.st_size == after.st_size && before.st_mtim.tv_sec == after.st_mtim.tv_sec &&
           before.st_mtim.tv_nsec == after.st_mtim.tv_nsec;
}

} // namespace

QString sha256HexOfFile(const QString& path, std::stop_token stop) {
    // Opened without blocking, so that a FIFO with no writer cannot hold the thread; anything but
    // a regular file (a FIFO, a device such as /dev/zero, a directory) is refused before a read.
    const FileDescriptor file(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0)
        throwSystemError();
    const struct stat before = statusOf(file);
    if (!S_ISREG(before.st_mode))
        throw FileReadError("Энгийн файл биш байна.");

    const SelvorTokenKit::LibCrypto& crypto = SelvorTokenKit::libCrypto();
    DigestContext context(crypto.EVP_MD_CTX_new());
    if (!context)
        throw std::bad_alloc();
    check(crypto.EVP_DigestInit_ex(context.get(), crypto.EVP_sha256(), nullptr));

    std::vector<char> chunk(chunkSize);
    off_t total = 0;
    for (;;) {
        if (stop.stop_requested())
            throw std::runtime_error("hashing stopped");
        const ssize_t count = ::read(file.get(), chunk.data(), chunkSize);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            throwSystemError();
        if (count == 0)
            break;
        total += count;
        check(crypto.EVP_DigestUpdate(context.get(), chunk.data(), static_cast<size_t>(count)));
    }
    // A digest of a file that changed while it was read belongs to no version of it.
    if (total != before.st_size || !sameVersion(before, statusOf(file)))
        throw FileReadError("Файл уншиж байх үед өөрчлөгдсөн.");

    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    check(crypto.EVP_DigestFinal_ex(context.get(), digest, &length));
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(digest), static_cast<qsizetype>(length)).toHex());
}

} // namespace Selvor
