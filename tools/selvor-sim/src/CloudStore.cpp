#include "CloudStore.hpp"

#include "Http.hpp"

#include <algorithm>

namespace SelvorSim {
namespace {

constexpr const char* pdfHeader = "%PDF-1.4\n% Selvor simulated document\n";

std::string uniqueName(const std::vector<StoredFile>& files, const std::string& name) {
    const auto taken = [&](const std::string& candidate) {
        return std::any_of(files.begin(), files.end(),
                           [&](const StoredFile& f) { return !f.folder && f.name == candidate; });
    };
    if (!taken(name))
        return name;
    const auto dot = name.rfind('.');
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? "" : name.substr(dot);
    for (int n = 1;; ++n) {
        const std::string candidate = stem + " (" + std::to_string(n) + ")" + extension;
        if (!taken(candidate))
            return candidate;
    }
}

std::vector<StoredFile> seededFiles(const std::string& idPrefix, int fileCount, int folderCount) {
    static const std::vector<std::string> stems{
        "Гэрээ",       "Нэхэмжлэх",
        "Тайлан",      "Тушаал",
        "Албан бичиг", "Хүсэлт",
        "Акт",         "Протокол",
        "Итгэмжлэл",   "Санхүүгийн тайлан",
        "Ажлын гэрээ", "Түрээсийн гэрээ",
    };
    std::vector<StoredFile> files;
    std::int64_t clock = 0;
    for (int i = 0; i < folderCount; ++i)
        files.push_back({idPrefix + "folder" + std::to_string(i),
                         i == 0 ? "Баримтууд" : "Архив " + std::to_string(2020 + i), "", true,
                         ++clock});
    for (int i = 0; i < fileCount; ++i) {
        const std::string name = stems[static_cast<std::size_t>(i) % stems.size()] + "_" +
                                 std::to_string(101 + i) + (i % 5 == 4 ? ".docx" : ".pdf");
        files.push_back({idPrefix + randomHex(16), name, pdfHeader + ("Баримт: " + name + "\n"),
                         false, ++clock});
    }
    return files;
}

} // namespace

bool isProvider(const std::string& provider) {
    return provider == "google" || provider == "dropbox";
}

std::string connectionId(const std::string& provider) {
    return provider == "google" ? "google_drive" : provider;
}

CloudStore::CloudStore() {
    m_files["google"] = seededFiles("1g", 24, 2);
    m_files["dropbox"] = seededFiles("id:", 22, 3);
    m_clock = 100;
}

std::string CloudStore::issueConsentCode(const std::string& provider) {
    std::string code = "4/" + randomHex(24);
    std::lock_guard lock(m_mutex);
    m_codes[provider].insert(code);
    return code;
}

bool CloudStore::redeemConsentCode(const std::string& provider, const std::string& code) {
    std::lock_guard lock(m_mutex);
    // A code works once, like a provider's authorisation code.
    if (m_codes[provider].erase(code) == 0)
        return false;
    linkLocked(provider);
    return true;
}

void CloudStore::link(const std::string& provider) {
    std::lock_guard lock(m_mutex);
    linkLocked(provider);
}

void CloudStore::linkLocked(const std::string& provider) {
    m_links[provider] = {provider == "google" ? "temuujin.b@gmail.com" : "temuujin.b@dropbox.mn",
                         (provider == "google" ? "ya29.sim-" : "sl.sim-") + randomHex(40)};
}

bool CloudStore::disconnect(const std::string& provider) {
    std::lock_guard lock(m_mutex);
    return m_links.erase(provider) > 0;
}

std::optional<std::string> CloudStore::accessToken(const std::string& provider) const {
    std::lock_guard lock(m_mutex);
    const auto it = m_links.find(provider);
    return it == m_links.end() ? std::nullopt : std::optional(it->second.token);
}

std::vector<std::pair<std::string, std::string>> CloudStore::connections() const {
    std::lock_guard lock(m_mutex);
    std::vector<std::pair<std::string, std::string>> list;
    for (const auto& [provider, link] : m_links)
        list.emplace_back(connectionId(provider), link.email);
    return list;
}

bool CloudStore::acceptsBearer(const std::string& provider,
                               const std::string& authorization) const {
    const auto token = accessToken(provider);
    return token && authorization == "Bearer " + *token;
}

std::vector<StoredFile> CloudStore::files(const std::string& provider) const {
    std::lock_guard lock(m_mutex);
    const auto it = m_files.find(provider);
    return it == m_files.end() ? std::vector<StoredFile>{} : it->second;
}

std::optional<StoredFile> CloudStore::file(const std::string& provider,
                                           const std::string& id) const {
    for (StoredFile& stored : files(provider)) {
        if (stored.id == id)
            return stored;
    }
    return std::nullopt;
}

std::optional<StoredFile> CloudStore::fileByName(const std::string& provider,
                                                 const std::string& name) const {
    for (StoredFile& stored : files(provider)) {
        if (stored.name == name)
            return stored;
    }
    return std::nullopt;
}

StoredFile CloudStore::store(const std::string& provider, std::string name, std::string content,
                             bool renameOnConflict) {
    std::lock_guard lock(m_mutex);
    std::vector<StoredFile>& files = m_files[provider];
    if (renameOnConflict)
        name = uniqueName(files, name);
    files.push_back({(provider == "google" ? "1g" : "id:") + randomHex(16), std::move(name),
                     std::move(content), false, ++m_clock});
    return files.back();
}

} // namespace SelvorSim
