#include "PcscContext.hpp"

namespace SelvorTokenKit {

std::optional<PcscContext> PcscContext::establish(LONG& result) {
    SCARDCONTEXT handle = 0;
    result = SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &handle);
    if (result != SCARD_S_SUCCESS) {
        return std::nullopt;
    }
    return PcscContext(handle);
}

PcscContext::~PcscContext() {
    if (m_owned) {
        SCardReleaseContext(m_handle);
    }
}

PcscContext::PcscContext(PcscContext&& other) noexcept : m_handle(other.m_handle) {
    other.m_owned = false;
}

std::vector<std::string> PcscContext::readerNames(LONG& result) const {
    DWORD length = 0;
    result = SCardListReaders(m_handle, nullptr, nullptr, &length);
    if (result != SCARD_S_SUCCESS || length == 0) {
        return {};
    }
    std::string buffer(length, '\0');
    result = SCardListReaders(m_handle, nullptr, buffer.data(), &length);
    if (result != SCARD_S_SUCCESS) {
        return {};
    }
    std::vector<std::string> names;
    std::size_t at = 0;
    while (at < buffer.size() && buffer[at] != '\0') {
        const std::size_t end = buffer.find('\0', at);
        names.push_back(buffer.substr(at, end - at));
        at = end + 1;
    }
    return names;
}

} // namespace SelvorTokenKit
