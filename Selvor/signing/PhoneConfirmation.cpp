#include "signing/PhoneConfirmation.hpp"

#include "api/APIClient.hpp"
#include "api/Cancellation.hpp"
#include "api/Sleep.hpp"
#include "api/models/SigningModels.hpp"

#include <QPointer>

namespace Selvor {
namespace {

constexpr int maximumPolls = 150;

} // namespace

QCoro::Task<PhoneAnswer> confirmOnPhone(APIClient& client, const QString& nationalID,
                                        const QString& displayText, const PollTiming& timing,
                                        Cancellation* cancellation) {
    const QPointer<Cancellation> watched(cancellation);
    const PollTiming pace = timing;
    auto starting = client.request<SignInitResponse>(
        Endpoint::cloudSignInitiate(nationalID, displayText), watched);
    const SignInitResponse started = co_await starting;
    const QString sessionID = QString::fromStdString(started.sessionId);
    for (int poll = 0; poll < maximumPolls; ++poll) {
        auto waiting = sleepFor(pace.pollInterval, watched);
        co_await waiting;
        auto asking =
            client.request<SignStatusResponse>(Endpoint::cloudSignStatus(sessionID), watched);
        const SignStatusResponse status = co_await asking;
        if (status.state != "COMPLETE")
            continue;
        if (status.result == "OK")
            co_return PhoneAnswer::approved;
        co_return status.result == "USER_REFUSED" ? PhoneAnswer::refused : PhoneAnswer::expired;
    }
    co_return PhoneAnswer::expired;
}

} // namespace Selvor
