#pragma once

#include "Accounts.hpp"
#include "CloudStore.hpp"
#include "Faults.hpp"
#include "Options.hpp"
#include "Organizations.hpp"
#include "PhoneRequests.hpp"
#include "RequestLog.hpp"
#include "UpdateFeed.hpp"

#include <string>

namespace SelvorSim {

// Everything the route areas share. Each member guards its own state.
struct SimContext {
    Options options;
    // What a client of /control must send; see ControlAccess.hpp.
    std::string controlToken;
    Accounts accounts;
    PhoneRequests phone;
    Organizations orgs;
    CloudStore cloud;
    RequestLog log;
    Faults faults;
    UpdateFeed appcast;
};

} // namespace SelvorSim
