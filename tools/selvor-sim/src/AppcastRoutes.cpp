#include "HtmlPage.hpp"
#include "Http.hpp"
#include "Routes.hpp"
#include "UpdatePackage.hpp"

#include <algorithm>

namespace SelvorSim {
namespace {

// Listed under every newest version; never newer than the app, so never offered.
constexpr const char* firstVersion = "1.0.0";
constexpr const char* packageType = "application/vnd.debian.binary-package";
constexpr std::size_t truncatedBy = 1024;
// A large package goes out piece by piece rather than in one write.
constexpr std::size_t chunkSize = 64 * 1024;

std::string packageName(const std::string& version) {
    return "selvor_" + version + "_amd64.deb";
}

UpdatePackage configuredPackage(const SimContext& context) {
    return updatePackage(static_cast<std::size_t>(context.options.updateSizeKb) * 1024);
}

std::string item(const std::string& origin, const std::string& version, const std::string& date,
                 const std::string& notes, const UpdatePackage& package) {
    const std::string shown = htmlEscape(version);
    return "<item><title>Selvor Desktop " + shown + "</title><pubDate>" + date +
           "</pubDate><sparkle:version>" + shown +
           "</sparkle:version><sparkle:shortVersionString>" + shown +
           "</sparkle:shortVersionString><description><![CDATA[<ul>" + notes +
           "</ul>]]></description><sparkle:releaseNotesLink>" + origin +
           "/download</sparkle:releaseNotesLink><enclosure url=\"" + origin + "/downloads/" +
           percentEncode(packageName(version)) + "\" length=\"" +
           std::to_string(package.bytes->size()) + "\" type=\"" + packageType +
           "\" sparkle:edSignature=\"" + package.signatureBase64 + "\"/></item>";
}

std::string feed(const std::string& origin, const std::string& version,
                 const UpdatePackage& package) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss version=\"2.0\" "
           "xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\">"
           "<channel><title>Selvor Desktop</title><link>" +
           origin +
           "/appcast.xml</link><description>Selvor Desktop шинэчлэлт</description>"
           "<language>mn</language>" +
           item(origin, version, "Mon, 30 Nov 2026 10:00:00 +0800",
                "<li>Гүйцэтгэл сайжирсан, алдаа засварласан</li>"
                "<li>Шинэчлэлтийн файлыг гарын үсгээр шалгадаг болсон</li>",
                package) +
           item(origin, firstVersion, "Mon, 01 Sep 2026 10:00:00 +0800", "<li>Анхны хувилбар</li>",
                package) +
           "</channel></rss>\n";
}

// Cut inside the first enclosure element, between two attributes: no parser can read it whole.
std::string cutFeed(const std::string& whole) {
    return whole.substr(0, whole.find(" length=\""));
}

// The package as the variant serves it: tampered changes the middle byte, truncated leaves
// off the last KiB, both under a Content-Length that tells the truth about what is sent.
void sendPackage(httplib::Response& res, const UpdatePackage& package, FeedVariant variant) {
    const std::size_t size =
        package.bytes->size() - (variant == FeedVariant::Truncated ? truncatedBy : 0);
    const std::optional<std::size_t> changed =
        variant == FeedVariant::Tampered ? std::optional(size / 2) : std::nullopt;
    res.set_content_provider(
        size, packageType,
        [bytes = package.bytes, changed](std::size_t offset, std::size_t length,
                                         httplib::DataSink& sink) {
            std::string chunk = bytes->substr(offset, std::min(length, chunkSize));
            if (changed && *changed >= offset && *changed < offset + chunk.size())
                chunk[*changed - offset] ^= '\x5a';
            return sink.write(chunk.data(), chunk.size());
        });
}

} // namespace

void addAppcastRoutes(Router& router, SimContext& context) {
    router.get("/appcast.xml", [&context](const auto& req, auto& res) {
        const UpdateFeed::State state = context.appcast.current();
        const std::string whole =
            feed(htmlEscape(originOf(req)), state.version, configuredPackage(context));
        res.set_content(state.variant == FeedVariant::Malformed ? cutFeed(whole) : whole,
                        "application/rss+xml; charset=utf-8");
    });
    router.get(R"(/downloads/(.+))", [&context](const auto& req, auto& res) {
        const UpdateFeed::State state = context.appcast.current();
        const std::string name = req.matches[1];
        if (name != packageName(state.version) && name != packageName(firstVersion))
            return sendError(res, 404, "Олдсонгүй");
        sendPackage(res, configuredPackage(context), state.variant);
    });
    router.get("/download", [&context](const auto&, auto& res) {
        sendHtml(res,
                 htmlPage("Selvor Desktop татах",
                          "<h1>Selvor Desktop " + htmlEscape(context.appcast.current().version) +
                              "</h1><div class=\"card\">Шинэ хувилбар бэлэн боллоо.</div>"));
    });
}

} // namespace SelvorSim
