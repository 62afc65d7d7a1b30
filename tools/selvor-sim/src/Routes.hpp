#pragma once

#include "Router.hpp"
#include "SimContext.hpp"

namespace SelvorSim {

void addAuthRoutes(Router& router, SimContext& context);
void addControlRoutes(httplib::Server& server, SimContext& context);

// The status answer of a push session, in the words the asking flow acts on.
nlohmann::json pushStatusJson(const PhoneRequest& request);

} // namespace SelvorSim
