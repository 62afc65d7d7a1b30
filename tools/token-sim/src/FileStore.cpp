#include "TokenSim/FileStore.hpp"

#include <algorithm>

namespace TokenSim {

Reply FileStore::select(ByteView fileId) {
    if (fileId.size() != 2) {
        return Reply::status(StatusWord::wrongLength);
    }
    const auto id = static_cast<std::uint16_t>(fileId[0] << 8 | fileId[1]);
    if (!m_files.contains(id)) {
        m_selected.reset();
        return Reply::status(StatusWord::fileNotFound);
    }
    m_selected = id;
    return Reply::ok();
}

Reply FileStore::read(std::size_t offset, std::size_t count) const {
    if (!m_selected) {
        return Reply::status(StatusWord::noCurrentFile);
    }
    const Bytes& file = m_files.at(*m_selected);
    if (offset >= file.size()) {
        return Reply::status(StatusWord::offsetOutsideFile);
    }
    const std::size_t length = std::min(count, file.size() - offset);
    const auto start = file.begin() + static_cast<std::ptrdiff_t>(offset);
    return Reply::ok(Bytes(start, start + static_cast<std::ptrdiff_t>(length)));
}

Reply FileStore::update(std::size_t offset, ByteView data) {
    if (!m_selected) {
        return Reply::status(StatusWord::noCurrentFile);
    }
    Bytes& file = m_files.at(*m_selected);
    if (offset > file.size()) {
        return Reply::status(StatusWord::offsetOutsideFile);
    }
    if (offset + data.size() > capacity) {
        return Reply::status(StatusWord::notEnoughMemory);
    }
    file.resize(std::max(file.size(), offset + data.size()));
    std::copy(data.begin(), data.end(), file.begin() + static_cast<std::ptrdiff_t>(offset));
    return Reply::ok();
}

} // namespace TokenSim
