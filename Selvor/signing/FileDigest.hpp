#pragma once

#include <QString>

#include <stdexcept>
#include <stop_token>

namespace Selvor {

// A file that could not be opened or read; what() is the system's own description.
class FileReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// SHA-256 of the file's contents as 64 lower-case hex digits. The file is streamed through the
// digest in fixed-size chunks, so memory use does not grow with the file. Throws FileReadError;
// a stop request ends the work between chunks with std::runtime_error.
QString sha256HexOfFile(const QString& path, std::stop_token stop = {});

} // namespace Selvor
