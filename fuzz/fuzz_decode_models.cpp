// Decodes arbitrary bytes as every answer of the service: the only acceptable failure is a
// DecodeError.
#include "api/models/AuthModels.hpp"
#include "api/models/CloudModels.hpp"
#include "api/models/DashboardModels.hpp"
#include "api/models/ErrorResponse.hpp"
#include "api/models/OrgModels.hpp"
#include "api/models/SigningModels.hpp"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

template <typename T> void tryDecode(std::string_view text) {
    try {
        const T value = Selvor::decodeJson<T>(text);
        static_cast<void>(value);
    } catch (const Selvor::DecodeError&) {
    }
}

template <typename... T> void tryAll(std::string_view text) {
    (tryDecode<T>(text), ...);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    using namespace Selvor;
    tryAll<ErrorResponse, AuthInitiateResponse, AuthStatusResponse, QRInitResponse,
           QRStatusResponse, SignInitResponse, SignStatusResponse, CloudConnectionsResponse,
           CloudAuthURLResponse, CloudCallbackResponse, CloudTokenResponse, GoogleDriveFiles,
           DashboardData, OrgListResponse, OrgMembersResponse, OrgLookupResponse,
           OrgRegisterResponse, OrgRemoveMemberResponse, OrgMember>(text);
    return 0;
}
