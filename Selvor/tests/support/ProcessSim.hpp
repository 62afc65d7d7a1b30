#pragma once

#include <SelvorSimTesting/SimProcess.hpp>

namespace Selvor::Testing {

// The process's one simulator, playing the service, Google Drive and Dropbox; started on first
// use, before the shared service client reads its address (once per process).
SelvorSimTesting::SimProcess& processSim();
// Removes both cloud links, as for a new user.
void unlinkClouds();

} // namespace Selvor::Testing
