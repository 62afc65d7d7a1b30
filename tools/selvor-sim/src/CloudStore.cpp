#include "CloudStore.hpp"

#include "Http.hpp"

#include <algorithm>
#include <random>

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

std::string idPrefix(const std::string& provider) {
    return provider == "google" ? "1g" : "id:";
}

std::shared_ptr<const std::string> documentContent(const std::string& name) {
    return std::make_shared<const std::string>(pdfHeader + ("Баримт: " + name + "\n"));
}

std::vector<StoredFile> seededFiles(const std::string& provider, int fileCount, int folderCount) {
    static const std::vector<std::string> stems{
        "Гэрээ",       "Нэхэмжлэх",
        "Тайлан",      "Тушаал",
        "Албан бичиг", "Хүсэлт",
        "Акт",         "Протокол",
        "Итгэмжлэл",   "Санхүүгийн тайлан",
        "Ажлын гэрээ", "Түрээсийн гэрээ",
    };
    const std::string prefix = idPrefix(provider);
    const auto noContent = std::make_shared<const std::string>();
    std::vector<StoredFile> files;
    std::int64_t clock = 0;
    for (int i = 0; i < folderCount; ++i)
        files.push_back({prefix + "folder" + std::to_string(i),
                         i == 0 ? "Баримтууд" : "Архив " + std::to_string(2020 + i), noContent,
                         true, ++clock});
    for (int i = 0; i < fileCount; ++i) {
        const std::string name = stems[static_cast<std::size_t>(i) % stems.size()] + "_" +
                                 std::to_string(101 + i) + (i % 5 == 4 ? ".docx" : ".pdf");
        files.push_back({prefix + randomHex(16), name, documentContent(name), false, ++clock});
    }
    // Names a client must escape and show as plain text: the newest seeds, right after the
    // folders, so the first page of 20 holds them on both providers.
    auto position = files.begin() + folderCount;
    for (const std::string name : {"Тайлан \"2026\".pdf", "<b>bold</b> <img src=x>.pdf"}) {
        position = files.insert(position, {prefix + randomHex(16), name, documentContent(name),
                                           false, ++clock}) +
                   1;
    }
    return files;
}

// Pseudo-random bytes that never repeat, so a chunk served from the wrong offset changes the
// digest. std::mt19937_64's output for a seed is fixed by the standard.
std::shared_ptr<const std::string> largeContent(std::size_t mebibytes) {
    std::string bytes(mebibytes << 20, '\0');
    std::mt19937_64 engine(20260101);
    for (std::size_t i = 0; i < bytes.size(); i += 8) {
        const std::uint64_t word = engine();
        for (std::size_t b = 0; b < 8; ++b)
            bytes[i + b] = static_cast<char>(word >> (8 * b));
    }
    return std::make_shared<const std::string>(std::move(bytes));
}

} // namespace

bool isProvider(const std::string& provider) {
    return provider == "google" || provider == "dropbox";
}

std::string connectionId(const std::string& provider) {
    return provider == "google" ? "google_drive" : provider;
}

CloudStore::CloudStore() {
    m_files["google"] = seededFiles("google", 24, 2);
    m_files["dropbox"] = seededFiles("dropbox", 22, 3);
    m_clock = 100;
}

void CloudStore::addLargeFile(std::size_t mebibytes) {
    const auto content = largeContent(mebibytes);
    std::lock_guard lock(m_mutex);
    ++m_clock;
    for (auto& [provider, files] : m_files) {
        files.insert(files.begin(),
                     {idPrefix(provider) + randomHex(16), "Том_файл.bin", content, false, m_clock});
    }
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

std::string CloudStore::link(const std::string& provider) {
    std::lock_guard lock(m_mutex);
    return linkLocked(provider);
}

std::string CloudStore::linkLocked(const std::string& provider) {
    Link& link = m_links[provider];
    link = {provider == "google" ? "temuujin.b@gmail.com" : "temuujin.b@dropbox.mn",
            (provider == "google" ? "ya29.sim-" : "sl.sim-") + randomHex(40)};
    return link.token;
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
    files.push_back({idPrefix(provider) + randomHex(16), std::move(name),
                     std::make_shared<const std::string>(std::move(content)), false, ++m_clock});
    return files.back();
}

} // namespace SelvorSim
