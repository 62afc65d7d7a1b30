#pragma once

#include <cstdint>
#include <map>
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
    std::string content;
    bool folder = false;
    std::int64_t modified = 0; // larger is newer
};

// The service's links to the providers, and the files the fake providers keep.
class CloudStore {
public:
    CloudStore();

    std::string issueConsentCode(const std::string& provider);
    bool redeemConsentCode(const std::string& provider, const std::string& code);
    void link(const std::string& provider);
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

    void linkLocked(const std::string& provider);

    mutable std::mutex m_mutex;
    std::map<std::string, std::set<std::string>> m_codes;
    std::map<std::string, Link> m_links;
    std::map<std::string, std::vector<StoredFile>> m_files;
    std::int64_t m_clock = 0;
};

} // namespace SelvorSim
