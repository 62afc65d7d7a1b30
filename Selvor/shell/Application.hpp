#pragma once

class QQmlApplicationEngine;
class QQuickWindow;

namespace Selvor {

class AppState;
class TokenManager;

// Starts Selvor: hands a "selvorlogin:" argument to an already running instance and returns,
// or opens the window and runs until it closes. Returns the process exit code.
int runApplication(int argc, char* argv[]);

// Loads the main window on the application's state and token manager into the engine; null when
// it does not load. Start-up measurements use it too, so they measure the app's own start.
QQuickWindow* loadMainWindow(QQmlApplicationEngine& engine, AppState& appState,
                             TokenManager& tokenManager);

} // namespace Selvor
