#include "api/models/KeyCase.hpp"

namespace Selvor {
namespace {

// Keys are matched against ASCII model keys, so ASCII case mapping is all that can matter.
char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

void camelKeyFromSnake(std::string_view key, std::string& out) {
    out.clear();
    const auto first = key.find_first_not_of('_');
    if (key.find('_') == std::string_view::npos || first == std::string_view::npos) {
        out.assign(key);
        return;
    }
    const auto last = key.find_last_not_of('_');
    const std::string_view core = key.substr(first, last - first + 1);
    out.append(key.substr(0, first));
    if (core.find('_') == std::string_view::npos) {
        out.append(core);
    } else {
        bool firstWord = true;
        std::size_t start = 0;
        while (start <= core.size()) {
            const auto end = std::min(core.find('_', start), core.size());
            const std::string_view word = core.substr(start, end - start);
            if (firstWord) {
                out.append(word);
                firstWord = false;
            } else if (!word.empty()) {
                out.push_back(upper(word.front()));
                for (const char c : word.substr(1))
                    out.push_back(lower(c));
            }
            start = end + 1;
        }
    }
    out.append(key.substr(last + 1));
}

std::string camelKeyFromSnake(std::string_view key) {
    std::string out;
    camelKeyFromSnake(key, out);
    return out;
}

std::string snakeKeyFromCamel(std::string_view key) {
    std::string out;
    out.reserve(key.size() + 4);
    for (const char c : key) {
        if (c >= 'A' && c <= 'Z') {
            out.push_back('_');
            out.push_back(lower(c));
        } else {
            out.push_back(c);
        }
    }
    return out;
}

} // namespace Selvor
