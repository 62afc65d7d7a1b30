#include "FirstFrameReport.hpp"

#include <QQuickWindow>

#include <unistd.h>

#include <atomic>
#include <memory>
#include <string_view>

namespace Selvor {

void reportFirstFrameWhenAsked(QQuickWindow& window) {
    if (!qEnvironmentVariableIsSet("SELVOR_REPORT_FIRST_FRAME"))
        return;
    // Straight to the descriptor: the threaded render loop swaps on its own thread, and the log
    // may go to the journal instead.
    auto reported = std::make_shared<std::atomic_flag>();
    QObject::connect(
        &window, &QQuickWindow::frameSwapped, &window,
        [reported] {
            constexpr std::string_view line = "first frame painted\n";
            if (reported->test_and_set())
                return;
            [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, line.data(), line.size());
        },
        Qt::DirectConnection);
}

} // namespace Selvor
