#pragma once

#include "Router.hpp"
#include "SimContext.hpp"

namespace SelvorSim {

// Routes the desktop client reaches: logged and open to fault injection.
void addAuthRoutes(Router& router, SimContext& context);
void addQrRoutes(Router& router, SimContext& context);
void addDashboardRoutes(Router& router, SimContext& context);
void addSigningRoutes(Router& router, SimContext& context);
void addOrgRoutes(Router& router, SimContext& context);
void addCloudRoutes(Router& router, SimContext& context);
void addGoogleDriveRoutes(Router& router, SimContext& context);
void addDropboxRoutes(Router& router, SimContext& context);
void addPortalRoutes(Router& router, SimContext& context);
void addAppcastRoutes(Router& router, SimContext& context);

// Routes for the person playing the phone and for tests.
void addPhoneRoutes(httplib::Server& server, SimContext& context);
void addControlRoutes(httplib::Server& server, SimContext& context);
// Read-back of the cloud stores and linking without the consent page.
void addCloudControlRoutes(httplib::Server& server, SimContext& context);

// The status answer of a push session, in the words the asking flow acts on.
nlohmann::json pushStatusJson(const PhoneRequest& request);

} // namespace SelvorSim
