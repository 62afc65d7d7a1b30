#include "api/ErrorText.hpp"

#include "api/APIError.hpp"
#include "api/TransportError.hpp"

namespace Selvor {

QString errorText(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const APIError& e) {
        return QString::fromStdString(e.errorDescription());
    } catch (const TransportError& e) {
        return QString::fromStdString(e.errorDescription());
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
}

} // namespace Selvor
