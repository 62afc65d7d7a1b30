#pragma once

#include <winscard.h>

#include <optional>
#include <string>
#include <vector>

namespace SelvorTokenKit {

// One PC/SC context, released when the object goes away.
class PcscContext {
public:
    // No context when the service refuses one (SCARD_E_NO_SERVICE and the like); result holds
    // the service's answer.
    static std::optional<PcscContext> establish(LONG& result);

    ~PcscContext();
    PcscContext(PcscContext&& other) noexcept;
    PcscContext& operator=(PcscContext&&) = delete;
    PcscContext(const PcscContext&) = delete;
    PcscContext& operator=(const PcscContext&) = delete;

    [[nodiscard]] SCARDCONTEXT handle() const noexcept { return m_handle; }

    // Reader names in the service's order; empty when there are none. result holds the answer.
    std::vector<std::string> readerNames(LONG& result) const;

private:
    explicit PcscContext(SCARDCONTEXT handle) : m_handle(handle) {}

    SCARDCONTEXT m_handle;
    bool m_owned = true;
};

} // namespace SelvorTokenKit
