#pragma once

class QQmlEngine;

namespace Selvor {

// The views fetch nothing from the network: every request their engine would make (a remote
// image named in rich text, a remote source) fails at once. Local and resource files load as
// before, since the engine reads those itself.
void refuseNetworkAccess(QQmlEngine& engine);

} // namespace Selvor
