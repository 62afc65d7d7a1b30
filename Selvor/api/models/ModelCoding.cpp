// The decoders and encoders of every model, instantiated once for the whole program.
#include "api/models/AuthModels.hpp"
#include "api/models/CloudModels.hpp"
#include "api/models/DashboardModels.hpp"
#include "api/models/ErrorResponse.hpp"
#include "api/models/JsonDecoding.hpp"
#include "api/models/JsonEncoding.hpp"
#include "api/models/OrgModels.hpp"
#include "api/models/SigningModels.hpp"

namespace Selvor {

template <typename T> T decodeJson(std::string_view text) {
    return json_detail::decodeDocument<T>(text);
}

template <typename T> std::string encodeJson(const T& record) {
    return encodeJson(json_detail::encodeValue(record));
}

#define SELVOR_DECODABLE(T) template T decodeJson<T>(std::string_view);
#define SELVOR_CODABLE(T)                                                                          \
    SELVOR_DECODABLE(T)                                                                            \
    template std::string encodeJson<T>(const T&);

SELVOR_DECODABLE(ErrorResponse)
SELVOR_CODABLE(AuthInitiateResponse)
SELVOR_CODABLE(AuthIdentity)
SELVOR_CODABLE(AuthStatusResponse)
SELVOR_CODABLE(QRInitResponse)
SELVOR_CODABLE(QRStatusResponse)
SELVOR_CODABLE(SignInitiateRequest)
SELVOR_CODABLE(SignCompleteRequest)
SELVOR_CODABLE(CSRSubmitRequest)
SELVOR_CODABLE(SignInitResponse)
SELVOR_CODABLE(SignStatusResponse)
SELVOR_CODABLE(CloudConnectionInfo)
SELVOR_CODABLE(CloudConnectionsResponse)
SELVOR_CODABLE(CloudAuthURLResponse)
SELVOR_CODABLE(CloudCallbackResponse)
SELVOR_CODABLE(CloudTokenResponse)
SELVOR_CODABLE(GoogleDriveFile)
SELVOR_CODABLE(GoogleDriveFiles)
SELVOR_CODABLE(UserProfile)
SELVOR_CODABLE(DeviceRecord)
SELVOR_CODABLE(SessionRecord)
SELVOR_CODABLE(DashboardData)
SELVOR_CODABLE(Organization)
SELVOR_CODABLE(OrgMember)
SELVOR_CODABLE(OrgLookupInfo)
SELVOR_CODABLE(OrgListResponse)
SELVOR_CODABLE(OrgMembersResponse)
SELVOR_CODABLE(OrgLookupResponse)
SELVOR_CODABLE(OrgRegisterResponse)
SELVOR_DECODABLE(OrgRemoveMemberResponse)

} // namespace Selvor
