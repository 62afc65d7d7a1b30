#pragma once

#include "TokenSim/Reply.hpp"

#include <map>
#include <optional>

namespace TokenSim {

// The token's transparent files, by 16-bit identifier. A file grows as it is written, up to
// its capacity; reads return what has been written.
class FileStore {
public:
    static constexpr std::size_t capacity = 8192;

    explicit FileStore(std::map<std::uint16_t, Bytes> files) : m_files(std::move(files)) {}

    Reply select(ByteView fileId);
    // At most `count` bytes from the offset of the selected file.
    Reply read(std::size_t offset, std::size_t count) const;
    Reply update(std::size_t offset, ByteView data);
    void deselect() { m_selected.reset(); }

private:
    std::map<std::uint16_t, Bytes> m_files;
    std::optional<std::uint16_t> m_selected;
};

} // namespace TokenSim
