#pragma once

#include "Accounts.hpp"
#include "CloudStore.hpp"
#include "Faults.hpp"
#include "Options.hpp"
#include "Organizations.hpp"
#include "PhoneRequests.hpp"
#include "RequestLog.hpp"

namespace SelvorSim {

// Everything the route areas share. Each member guards its own state.
struct SimContext {
    Options options;
    Accounts accounts;
    PhoneRequests phone;
    Organizations orgs;
    CloudStore cloud;
    RequestLog log;
    Faults faults;
};

} // namespace SelvorSim
