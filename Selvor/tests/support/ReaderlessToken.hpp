#pragma once

#include "token/TokenManager.hpp"

#include <SelvorTokenKit/TokenManager.hpp>

namespace Selvor::Testing {

// An app token manager whose smart-card service lists no readers: for views that need one but
// must not see whatever card the machine's shared reader holds.
class ReaderlessToken {
public:
    ReaderlessToken();

    [[nodiscard]] TokenManager* manager() { return &m_manager; }

private:
    SelvorTokenKit::TokenManager m_kit;
    TokenManager m_manager;
};

} // namespace Selvor::Testing
