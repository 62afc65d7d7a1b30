#include "SignInFixture.hpp"

#include <QCoreApplication>
#include <QTest>

namespace Selvor::Testing {

PollTiming fastTiming() {
    using namespace std::chrono_literals;
    // The countdown keeps real seconds here so that a busy machine cannot tick it away before a
    // test reads it; the countdown's own test speeds it up.
    return PollTiming{
        .pollInterval = 5ms, .deadline = 5s, .successPause = 20ms, .countdownTick = 1s};
}

bool eventually(const std::function<bool()>& condition, int timeoutMs) {
    return QTest::qWaitFor(condition, timeoutMs);
}

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

void SignInFixture::SetUp() {
    sim = std::make_unique<SelvorSimTesting::SimProcess>();
    client = std::make_unique<APIClient>(qs(sim->baseUrl()));
    appState = std::make_unique<AppState>(*client);
    login = std::make_unique<LoginViewModel>(*client, fastTiming());
    login->setAppState(appState.get());
}

void SignInFixture::TearDown() {
    // As when the app quits: the view-model cancels its flow, and the client's destructor ends
    // every exchange still in flight (a dashboard load the sign-in started) and waits for a decode
    // under way.
    login.reset();
    appState.reset();
    client.reset();
    // A cancelled pause and a finished decode come back on the next turn of the event loop; that
    // turn ends the last flows, so that none outlives the test.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    sim.reset();
}

int SignInFixture::requestCount(const std::string& prefix) {
    int count = 0;
    for (const auto& request : sim->requestLog()) {
        if (request.path.starts_with(prefix))
            ++count;
    }
    return count;
}

void SignInFixture::answerWith(const std::string& path, const std::string& json, int times) {
    SelvorSimTesting::Fault fault;
    fault.path = path;
    fault.status = 200;
    fault.body = json;
    fault.contentType = "application/json";
    fault.times = times;
    sim->addFault(fault);
}

} // namespace Selvor::Testing
