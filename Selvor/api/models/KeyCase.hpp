#pragma once

#include <string>
#include <string_view>

namespace Selvor {

// Incoming key to model key: a key without underscores is kept; otherwise the part between
// leading and trailing underscores is split at underscores, the first word kept, every later
// word capitalised (first letter upper, rest lower case) and the words joined. Leading and
// trailing underscores stay. Writes into out so callers can reuse its buffer.
void camelKeyFromSnake(std::string_view key, std::string& out);
std::string camelKeyFromSnake(std::string_view key);

// Model key to wire key: every upper-case letter becomes an underscore and its lower case.
std::string snakeKeyFromCamel(std::string_view key);

} // namespace Selvor
