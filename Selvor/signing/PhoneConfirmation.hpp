#pragma once

#include "api/PollTiming.hpp"

#include <QString>

#include <QCoroTask>

namespace Selvor {

class APIClient;
class Cancellation;

// How the person answered a confirmation pushed to their phone.
enum class PhoneAnswer { approved, refused, expired };

// Pushes a confirmation request naming the document to the person's phone app and polls its
// outcome through `client`: up to 150 status calls, `timing.pollInterval` apart. Throws the
// service's errors and CancelledError.
QCoro::Task<PhoneAnswer> confirmOnPhone(APIClient& client, const QString& nationalID,
                                        const QString& displayText, const PollTiming& timing,
                                        Cancellation* cancellation);

} // namespace Selvor
