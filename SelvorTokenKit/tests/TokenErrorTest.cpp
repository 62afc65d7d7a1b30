#include "SelvorTokenKit/TokenError.hpp"
#include "SelvorTokenKit/PcscError.hpp"

#include <gtest/gtest.h>

namespace SelvorTokenKit {
namespace {

using Kind = TokenError::Kind;

TEST(TokenError, everyCaseDescribesItselfWithItsUserText) {
    const std::vector<std::pair<TokenError, std::string>> cases{
        {TokenError::transmitFailed("timeout"), "APDU дамжуулалт амжилтгүй: timeout"},
        {TokenError::pinVerifyFailed(3), "PIN буруу байна. 3 оролдлого үлдсэн."},
        {TokenError::signFailed("SW=6982"), "Гарын үсэг зурахад алдаа: SW=6982"},
        {TokenError::unexpectedStatus(0x6A82), "Токен алдаа: SW=6A82"},
        {TokenError(Kind::readerNotConnected), "Уншигч холбогдоогүй байна."},
        {TokenError(Kind::cardNotFound), "Токен олдсонгүй."},
        {TokenError(Kind::sessionFailed), "Сэссион эхлүүлэхэд алдаа гарлаа."},
        {TokenError(Kind::invalidAPDU), "APDU команд буруу байна."},
        {TokenError(Kind::authFailed), "Токен баталгаажуулалт амжилтгүй."},
        {TokenError(Kind::pinBlocked), "PIN блоклогдсон. PUK ашиглана уу."},
        {TokenError(Kind::keyGenFailed), "Түлхүүр хос үүсгэхэд алдаа гарлаа."},
        {TokenError(Kind::certificateNotFound), "Сертификат олдсонгүй."},
        {TokenError(Kind::certificateImportFailed), "Сертификат суулгахад алдаа гарлаа."},
        {TokenError(Kind::unsupportedAlgorithm), "Дэмжигдэхгүй алгоритм."},
        {TokenError(Kind::secureMessagingFailed), "Secure messaging алдаа."},
    };
    for (const auto& [error, text] : cases) {
        SCOPED_TRACE(kindName(error.kind()));
        EXPECT_EQ(error.errorDescription(), text);
        EXPECT_STREQ(error.what(), text.c_str());
    }
}

TEST(TokenError, payloadsStayReadable) {
    EXPECT_EQ(TokenError::pinVerifyFailed(0).retriesLeft(), 0);
    EXPECT_EQ(TokenError::pinVerifyFailed(0).errorDescription(),
              "PIN буруу байна. 0 оролдлого үлдсэн.");
    EXPECT_EQ(TokenError::unexpectedStatus(0x0063).errorDescription(), "Токен алдаа: SW=0063");
    EXPECT_EQ(TokenError::unexpectedStatus(0x6300).status(), 0x6300);
    EXPECT_EQ(TokenError::signFailed("SW=9000").message(), "SW=9000");
    EXPECT_STREQ(kindName(Kind::secureMessagingFailed), "secureMessagingFailed");
}

TEST(PcscError, carriesTheServiceDescriptionAndCode) {
    const PcscError removed("SCardTransmit", 0x80100069);
    EXPECT_EQ(removed.code(), 0x80100069);
    EXPECT_EQ(removed.operation(), "SCardTransmit");
    EXPECT_EQ(removed.errorDescription(), "Card was removed.");
}

} // namespace
} // namespace SelvorTokenKit
