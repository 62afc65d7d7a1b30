#pragma once

#include <filesystem>
#include <string>

namespace TokenSimTesting {

// A fresh directory under the temporary directory, made by mkdtemp (mode 0700: no other user
// reaches what is put in it, nor can foresee its name), removed with its contents on
// destruction. Throws std::runtime_error when it cannot be made.
class PrivateDirectory {
public:
    explicit PrivateDirectory(const std::string& prefix);
    ~PrivateDirectory();
    PrivateDirectory(const PrivateDirectory&) = delete;
    PrivateDirectory& operator=(const PrivateDirectory&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

} // namespace TokenSimTesting
