#include "signing/ProviderRequests.hpp"

#include "api/models/DecodeError.hpp"

#include <QUrl>
#include <QUuid>

#include <nlohmann/json.hpp>

namespace Selvor {
namespace {

// Answers go unanswered after this long without a byte; a large file keeps the exchange busy,
// so the limit is on silence rather than on the whole transfer.
constexpr int idleTimeoutMs = 60'000;

const QString googleListing = QStringLiteral(
    "/drive/v3/files?q=mimeType!='application/vnd.google-apps.folder'&fields=files(id,name)"
    "&pageSize=20&orderBy=modifiedTime%20desc");

std::vector<CloudFile> googleFiles(const QByteArray& body) {
    const auto json = nlohmann::json::parse(body.begin(), body.end(), nullptr, false);
    if (json.is_discarded() || !json.is_object())
        throw DecodeError("The Google Drive answer is not a JSON object");
    const auto files = json.find("files");
    if (files == json.end() || !files->is_array())
        throw DecodeError("The Google Drive answer has no \"files\" array");
    std::vector<CloudFile> list;
    for (const auto& entry : *files) {
        const auto id = entry.is_object() ? entry.find("id") : entry.end();
        const auto name = entry.is_object() ? entry.find("name") : entry.end();
        if (!entry.is_object() || id == entry.end() || name == entry.end() || !id->is_string() ||
            !name->is_string())
            throw DecodeError("A Google Drive file lacks a string \"id\" or \"name\"");
        list.push_back({QString::fromStdString(id->get<std::string>()),
                        QString::fromStdString(name->get<std::string>())});
    }
    return list;
}

std::vector<CloudFile> dropboxFiles(const QByteArray& body) {
    const auto json = nlohmann::json::parse(body.begin(), body.end(), nullptr, false);
    if (json.is_discarded())
        throw DecodeError("The Dropbox answer is not JSON");
    std::vector<CloudFile> list;
    const auto entries = json.is_object() ? json.find("entries") : json.end();
    if (!json.is_object() || entries == json.end() || !entries->is_array())
        return list;
    for (const auto& entry : *entries) {
        if (!entry.is_object())
            return {};
        const auto tag = entry.find(".tag");
        if (tag == entry.end() || *tag != "file")
            continue;
        const auto id = entry.find("id");
        const auto name = entry.find("name");
        if (id != entry.end() && name != entry.end() && id->is_string() && name->is_string())
            list.push_back({QString::fromStdString(id->get<std::string>()),
                            QString::fromStdString(name->get<std::string>())});
    }
    return list;
}

} // namespace

QNetworkRequest ProviderRequests::request(const QString& origin, const QString& pathAndQuery,
                                          const QString& token) const {
    QNetworkRequest request(QUrl(origin + pathAndQuery, QUrl::StrictMode));
    request.setTransferTimeout(idleTimeoutMs);
    request.setRawHeader("Authorization", "Bearer " + token.toUtf8());
    return request;
}

ProviderRequest ProviderRequests::listing(CloudProvider provider, const QString& token) const {
    if (provider == CloudProvider::google)
        return {"GET", request(m_origins.googleAPI, googleListing, token), {}};
    QNetworkRequest list =
        request(m_origins.dropboxAPI, QStringLiteral("/2/files/list_folder"), token);
    list.setRawHeader("Content-Type", "application/json");
    return {"POST", list, QByteArrayLiteral("{\"path\":\"\",\"limit\":20}")};
}

ProviderRequest ProviderRequests::download(CloudProvider provider, const QString& token,
                                           const CloudFile& file) const {
    if (provider == CloudProvider::google) {
        // Escaped as one path segment, so that no id from a listing can point the request,
        // and its token, at another path.
        const QString id = QString::fromLatin1(QUrl::toPercentEncoding(file.id));
        return {
            "GET", request(m_origins.googleAPI, "/drive/v3/files/" + id + "?alt=media", token), {}};
    }
    QNetworkRequest fetch =
        request(m_origins.dropboxContent, QStringLiteral("/2/files/download"), token);
    fetch.setRawHeader("Dropbox-API-Arg", "{\"path\":" + jsonString(file.id, true) + "}");
    return {"POST", fetch, {}};
}

ProviderUpload ProviderRequests::upload(CloudProvider provider, const QString& token,
                                        const QString& name, const QString& boundary) const {
    if (provider == CloudProvider::google) {
        QNetworkRequest post =
            request(m_origins.googleAPI,
                    QStringLiteral("/upload/drive/v3/files?uploadType=multipart"), token);
        const QByteArray b = boundary.toLatin1();
        post.setRawHeader("Content-Type", "multipart/related; boundary=" + b);
        return {post,
                "--" + b + "\r\nContent-Type: application/json\r\n\r\n{\"name\":" +
                    jsonString(name, false) + "}\r\n--" + b +
                    "\r\nContent-Type: application/octet-stream\r\n\r\n",
                "\r\n--" + b + "--"};
    }
    QNetworkRequest post =
        request(m_origins.dropboxContent, QStringLiteral("/2/files/upload"), token);
    post.setRawHeader("Dropbox-API-Arg",
                      "{\"path\":" + jsonString(u'/' + name, true) + ",\"mode\":\"add\"}");
    post.setRawHeader("Content-Type", "application/octet-stream");
    return {post, {}, {}};
}

std::vector<CloudFile> ProviderRequests::readListing(CloudProvider provider,
                                                     const QByteArray& body) {
    return provider == CloudProvider::google ? googleFiles(body) : dropboxFiles(body);
}

QString ProviderRequests::newBoundary() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

QByteArray ProviderRequests::jsonString(const QString& text, bool asciiOnly) {
    const nlohmann::json value = text.toStdString();
    return QByteArray::fromStdString(
        value.dump(-1, ' ', asciiOnly, nlohmann::json::error_handler_t::replace));
}

} // namespace Selvor
