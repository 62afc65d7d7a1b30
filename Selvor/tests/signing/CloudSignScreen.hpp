#pragma once

#include "ProcessSim.hpp"
#include "ViewHarness.hpp"
#include "session/AppState.hpp"
#include "signing/CloudSignViewModel.hpp"

#include <QTemporaryDir>

#include <memory>

namespace Selvor::Testing {

// The cloud signing screen of the seeded person, offscreen in the detail column's size, against
// the shared simulator; confirmations poll every millisecond.
class CloudSignScreen {
public:
    CloudSignScreen();

    [[nodiscard]] ViewHarness& ui() { return *m_ui; }
    [[nodiscard]] AppState& appState() { return m_appState; }
    [[nodiscard]] CloudSignViewModel& model() { return *m_model; }
    // Loads a file of the disk as the open panel does.
    void chooseLocalFile(const QString& name, const QByteArray& bytes);
    // The confirmation the phone shows, waited for with the window running.
    SelvorSimTesting::PendingRequest phoneRequest();

private:
    AppState m_appState;
    QTemporaryDir m_files;
    std::unique_ptr<ViewHarness> m_ui;
    CloudSignViewModel* m_model = nullptr;
};

} // namespace Selvor::Testing
