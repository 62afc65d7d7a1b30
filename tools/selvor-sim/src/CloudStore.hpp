#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace SelvorSim {

// The two providers by their id in service paths.
bool isProvider(const std::string& provider);
// The id the service's connection list uses ("google_drive" for "google").
std::string connectionId(const std::string& provider);

struct StoredFile {
    std::string id;
    std::string name;
    // Shared, so a listing copies no bytes and both stores hold the large file once. A folder's
    // content is empty.
    std::shared_ptr<const std::string> content;
    bool folder = false;
    std::int64_t modified = 0; // larger is newer
};

// The service's links to the providers, and the files the fake providers keep.
class CloudStore {
public:
    CloudStore();

    // Puts `Том_файл.bin` of that many MiB at the head of both stores (Dropbox's first entry,
    // Drive's newest file), one copy of its bytes shared by both. The bytes are the same on
    // every run.
    void addLargeFile(std::size_t mebibytes);

    std::string issueConsentCode(const std::string& provider);
    bool redeemConsentCode(const std::string& provider, const std::string& code);
    // Links the provider with a new access token, replacing any earlier one; returns the token.
    std::string link(const std::string& provider);
    bool disconnect(const std::string& provider);
    std::optional<std::string> accessToken(const std::string& provider) const;
    // Pairs of connection-list id and account e-mail.
    std::vector<std::pair<std::string, std::string>> connections() const;
    bool acceptsBearer(const std::string& provider, const std::string& authorization) const;

    std::vector<StoredFile> files(const std::string& provider) const;
    std::optional<StoredFile> file(const std::string& provider, const std::string& id) const;
    std::optional<StoredFile> fileByName(const std::string& provider,
                                         const std::string& name) const;
    // Stores a new file; with `renameOnConflict` a taken name becomes "name (1).ext" and so on.
    StoredFile store(const std::string& provider, std::string name, std::string content,
                     bool renameOnConflict);

private:
    struct Link {
        std::string email;
        std::string token;
    };

    std::string linkLocked(const std::string& provider);

    mutable std::mutex m_mutex;
    std::map<std::string, std::set<std::string>> m_codes;
    std::map<std::string, Link> m_links;
    std::map<std::string, std::vector<StoredFile>> m_files;
    std::int64_t m_clock = 0;
};

} // namespace SelvorSim
