#include "Options.hpp"

#include <stdexcept>

namespace SelvorSim {
namespace {

int parsePort(const std::string& text) {
    std::size_t used = 0;
    const int port = std::stoi(text, &used);
    if (used != text.size() || port < 0 || port > 65535)
        throw std::invalid_argument("bad port: " + text);
    return port;
}

double parseSeconds(const std::string& text) {
    std::size_t used = 0;
    const double seconds = std::stod(text, &used);
    if (used != text.size() || seconds < 0)
        throw std::invalid_argument("bad number of seconds: " + text);
    return seconds;
}

LargeHistory parseLargeHistory(const std::string& text) {
    const auto equals = text.find('=');
    if (equals == std::string::npos)
        return {text};
    std::size_t used = 0;
    const std::string count = text.substr(equals + 1);
    const unsigned long sessions = std::stoul(count, &used);
    if (used != count.size())
        throw std::invalid_argument("bad session count: " + count);
    return {text.substr(0, equals), sessions};
}

// The whole file is held in memory, so the size stays well below what a test machine has.
int parseMebibytes(const std::string& text) {
    constexpr int largest = 4096;
    std::size_t used = 0;
    const int mebibytes = std::stoi(text, &used);
    if (used != text.size() || mebibytes < 1 || mebibytes > largest)
        throw std::invalid_argument("bad size in MiB: " + text + " (1 to " +
                                    std::to_string(largest) + ")");
    return mebibytes;
}

// The package is held in memory and signed whole; a truncated one stays non-empty.
int parseKibibytes(const std::string& text) {
    constexpr int smallest = 2;
    constexpr int largest = 1024 * 1024;
    std::size_t used = 0;
    const int kibibytes = std::stoi(text, &used);
    if (used != text.size() || kibibytes < smallest || kibibytes > largest)
        throw std::invalid_argument("bad size in KiB: " + text + " (" + std::to_string(smallest) +
                                    " to " + std::to_string(largest) + ")");
    return kibibytes;
}

std::string parseVersion(const std::string& text) {
    if (text.empty())
        throw std::invalid_argument("the feed version is empty");
    return text;
}

FeedVariant parseVariant(const std::string& text) {
    const auto variant = feedVariantFromName(text);
    if (!variant)
        throw std::invalid_argument("unknown feed variant: " + text +
                                    " (signed, tampered, truncated or malformed)");
    return *variant;
}

std::string parseProvider(const std::string& text) {
    if (text != "google" && text != "dropbox")
        throw std::invalid_argument("unknown provider: " + text + " (google or dropbox)");
    return text;
}

} // namespace

Options parseOptions(const std::vector<std::string>& args) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size())
                throw std::invalid_argument(arg + " needs a value");
            return args[++i];
        };
        try {
            if (arg == "--port")
                options.port = parsePort(value());
            else if (arg == "--print-port")
                continue; // the port is always printed; callers that ask for it still may
            else if (arg == "--auto-approve")
                options.autoApproveSeconds = parseSeconds(value());
            else if (arg == "--large-history")
                options.largeHistories.push_back(parseLargeHistory(value()));
            else if (arg == "--link")
                options.linkedProviders.push_back(parseProvider(value()));
            else if (arg == "--large-cloud-file-mb")
                options.largeCloudFileMb = parseMebibytes(value());
            else if (arg == "--appcast-version")
                options.appcastVersion = parseVersion(value());
            else if (arg == "--appcast-variant")
                options.appcastVariant = parseVariant(value());
            else if (arg == "--update-size-kb")
                options.updateSizeKb = parseKibibytes(value());
            else if (arg == "--exit-with-parent")
                options.parentPid = std::stoi(value());
            else
                throw std::invalid_argument("unknown option " + arg);
        } catch (const std::out_of_range&) {
            throw std::invalid_argument("value out of range for " + arg);
        } catch (const std::invalid_argument& error) {
            if (std::string(error.what()).starts_with("sto"))
                throw std::invalid_argument("not a number for " + arg);
            throw;
        }
    }
    return options;
}

std::string usage() {
    return "usage: selvor-sim [--port N] [--print-port] [--auto-approve SECONDS]\n"
           "                  [--large-history NATIONAL_ID[=COUNT]] [--link google|dropbox]\n"
           "                  [--large-cloud-file-mb N] [--appcast-version VERSION]\n"
           "                  [--appcast-variant signed|tampered|truncated|malformed]\n"
           "                  [--update-size-kb N] [--exit-with-parent PID]\n";
}

} // namespace SelvorSim
