#pragma once

#include <SelvorSimTesting/SimProcess.hpp>

namespace Selvor::Testing {

// The process's one simulator for the cloud tests, playing the service, Google Drive and
// Dropbox; started on first use, before the service client reads its address.
SelvorSimTesting::SimProcess& cloudSim();
// Removes both links, as for a new user.
void unlinkClouds();

} // namespace Selvor::Testing
