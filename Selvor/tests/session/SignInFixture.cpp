#include "SignInFixture.hpp"

#include <QElapsedTimer>
#include <QTest>

namespace Selvor::Testing {

PollTiming fastTiming() {
    using namespace std::chrono_literals;
    return PollTiming{
        .pollInterval = 5ms, .deadline = 5s, .successPause = 20ms, .countdownTick = 1ms};
}

bool eventually(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QTest::qWait(2);
    }
    return true;
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
    login.reset();
    appState.reset();
    // Let aborted replies finish before the client goes.
    QTest::qWait(5);
    client.reset();
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
