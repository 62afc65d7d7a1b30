#include "HtmlPage.hpp"
#include "Http.hpp"
#include "Routes.hpp"

namespace SelvorSim {
namespace {

std::string item(const std::string& origin, const std::string& version, const std::string& date,
                 const std::string& notes) {
    const std::string file = "selvor-desktop_" + version + "_amd64.deb";
    return "<item><title>Selvor Desktop " + version + "</title><pubDate>" + date +
           "</pubDate><sparkle:version>" + version +
           "</sparkle:version>"
           "<sparkle:shortVersionString>" +
           version +
           "</sparkle:shortVersionString>"
           "<description><![CDATA[<ul><li>" +
           notes +
           "</li></ul>]]></description>"
           "<link>" +
           origin + "/download</link><enclosure url=\"" + origin + "/downloads/" + file +
           "\" length=\"18734592\" type=\"application/vnd.debian.binary-package\" "
           "sparkle:version=\"" +
           version + "\" sparkle:shortVersionString=\"" + version + "\"/></item>";
}

} // namespace

void addAppcastRoutes(Router& router, SimContext& context) {
    router.get("/appcast.xml", [&context](const auto& req, auto& res) {
        const std::string origin = htmlEscape(originOf(req));
        const std::string version = htmlEscape(context.options.appcastVersion);
        res.set_content(
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss version=\"2.0\" "
            "xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\">"
            "<channel><title>Selvor Desktop</title><link>" +
                origin +
                "/appcast.xml</link>"
                "<description>Selvor Desktop шинэчлэлт</description><language>mn</language>" +
                item(origin, version, "Mon, 30 Nov 2026 10:00:00 +0800",
                     "Гүйцэтгэл сайжирсан, алдаа засварласан") +
                item(origin, "1.0.0", "Mon, 01 Sep 2026 10:00:00 +0800", "Анхны хувилбар") +
                "</channel></rss>\n",
            "application/rss+xml; charset=utf-8");
    });
    router.get("/download", [&context](const auto&, auto& res) {
        sendHtml(res, htmlPage("Selvor Desktop татах",
                               "<h1>Selvor Desktop " + htmlEscape(context.options.appcastVersion) +
                                   "</h1><div class=\"card\">Шинэ хувилбар бэлэн боллоо.</div>"));
    });
}

} // namespace SelvorSim
