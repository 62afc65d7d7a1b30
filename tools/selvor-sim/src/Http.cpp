#include "Http.hpp"

#include <chrono>
#include <ctime>
#include <mutex>
#include <random>

namespace SelvorSim {
namespace {

std::string randomFrom(std::string_view alphabet, std::size_t length) {
    static std::mutex mutex;
    static std::mt19937_64 engine{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::lock_guard lock(mutex);
    std::string text(length, ' ');
    for (char& c : text)
        c = alphabet[pick(engine)];
    return text;
}

} // namespace

std::string dumpJson(const json& value) {
    return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

void sendJson(httplib::Response& res, const json& value, int status) {
    res.status = status;
    res.set_content(dumpJson(value), "application/json");
}

void sendError(httplib::Response& res, int status, const std::string& message) {
    sendJson(res, {{"code", status}, {"error", message}}, status);
}

void sendHtml(httplib::Response& res, const std::string& html, int status) {
    res.status = status;
    res.set_content(html, "text/html; charset=utf-8");
}

void sendLarge(httplib::Response& res, std::shared_ptr<const std::string> body,
               const std::string& contentType) {
    // A provider of length 0 would leave the answer without a Content-Length.
    if (body->empty())
        return res.set_content(std::string(), contentType);
    const std::size_t size = body->size();
    res.set_content_provider(
        size, contentType,
        [body = std::move(body)](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            return sink.write(body->data() + offset, length);
        });
}

void sendRedirect(httplib::Response& res, const std::string& location,
                  const std::string& linkText) {
    res.status = 302;
    res.set_header("Location", location);
    res.set_content("<a href=\"" + htmlEscape(location) + "\">" + htmlEscape(linkText) + "</a>",
                    "text/html; charset=utf-8");
}

std::optional<json> readJsonObject(const httplib::Request& req, httplib::Response& res) {
    json body = json::parse(req.body, nullptr, false);
    if (body.is_discarded() || !body.is_object()) {
        sendError(res, 400, "Хүсэлтийн бие JSON объект биш байна");
        return std::nullopt;
    }
    return body;
}

std::optional<std::string> stringField(const json& object, const char* key) {
    const auto it = object.find(key);
    if (it == object.end() || !it->is_string())
        return std::nullopt;
    return it->get<std::string>();
}

std::vector<std::pair<std::string, std::string>> queryItems(const std::string& target) {
    const auto decode = [](std::string_view text) {
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(text[i + 1]) &&
                std::isxdigit(text[i + 2])) {
                out +=
                    static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
                i += 2;
            } else {
                out += text[i];
            }
        }
        return out;
    };
    std::vector<std::pair<std::string, std::string>> items;
    const auto question = target.find('?');
    if (question == std::string::npos)
        return items;
    std::string_view rest = std::string_view(target).substr(question + 1);
    while (!rest.empty()) {
        const std::string_view item = rest.substr(0, rest.find('&'));
        rest.remove_prefix(std::min(rest.size(), item.size() + 1));
        const auto equals = item.find('=');
        items.emplace_back(decode(item.substr(0, equals)),
                           equals == std::string_view::npos ? "" : decode(item.substr(equals + 1)));
    }
    return items;
}

std::optional<std::string> queryValue(const std::string& target, std::string_view name) {
    for (auto& [key, value] : queryItems(target)) {
        if (key == name)
            return std::move(value);
    }
    return std::nullopt;
}

std::string queryParam(const httplib::Request& req, std::string_view name) {
    return queryValue(req.target, name).value_or("");
}

std::string htmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string originOf(const httplib::Request& req) {
    const std::string host = req.get_header_value("Host");
    return "http://" + (host.empty() ? "127.0.0.1:" + std::to_string(req.local_port) : host);
}

std::string isoTimestamp(long long secondsFromNow) {
    const std::time_t moment = std::chrono::system_clock::to_time_t(
        std::chrono::system_clock::now() + std::chrono::seconds(secondsFromNow));
    std::tm utc{};
    gmtime_r(&moment, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::string randomHex(std::size_t length) {
    return randomFrom("0123456789abcdef", length);
}

std::string randomDigits(std::size_t length) {
    return randomFrom("0123456789", length);
}

} // namespace SelvorSim
