#pragma once

class QQmlApplicationEngine;
class QQuickWindow;

namespace Selvor {

class AppState;
class TokenManager;
class UpdateStatus;
class Updater;

// Starts Selvor: answers --help and --version, hands a "selvorlogin:" argument to an already
// running instance and returns, or opens the window and runs until it closes. Returns the
// process exit code.
int runApplication(int argc, char* argv[]);

// Names the running GUI application (name, organisation, desktop entry, version) and gives its
// windows the application's icon.
void describeApplication();

// What the main window is loaded on: the objects the application keeps for the whole run.
struct MainWindowModels {
    AppState& appState;
    TokenManager& tokenManager;
    Updater& updater;
    UpdateStatus& updateStatus;
};

// Loads the main window on the application's models into the engine; null when it does not
// load. Start-up measurements use it too, so they measure the app's own start.
QQuickWindow* loadMainWindow(QQmlApplicationEngine& engine, const MainWindowModels& models);

} // namespace Selvor
