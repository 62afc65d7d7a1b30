#include "TokenSim/CommandApdu.hpp"

namespace TokenSim {

std::optional<CommandApdu> CommandApdu::parse(ByteView bytes) {
    if (bytes.size() < 4) {
        return std::nullopt;
    }
    CommandApdu command{bytes[0], bytes[1], bytes[2], bytes[3], {}, std::nullopt};
    if (bytes.size() == 4) {
        return command;
    }
    const std::size_t first = bytes[4];
    if (bytes.size() == 5) {
        command.le = first == 0 ? 256 : first;
        return command;
    }
    if (first == 0 || (bytes.size() != first + 5 && bytes.size() != first + 6)) {
        return std::nullopt;
    }
    command.data.assign(bytes.begin() + 5, bytes.begin() + 5 + static_cast<std::ptrdiff_t>(first));
    if (bytes.size() == first + 6) {
        command.le = bytes.back() == 0 ? 256 : bytes.back();
    }
    return command;
}

Bytes CommandApdu::encode() const {
    Bytes out{cla, ins, p1, p2};
    if (!data.empty()) {
        out.push_back(static_cast<std::uint8_t>(data.size()));
        out.insert(out.end(), data.begin(), data.end());
    }
    if (le) {
        out.push_back(static_cast<std::uint8_t>(*le & 0xFF));
    }
    return out;
}

} // namespace TokenSim
