#include "SelvorTokenKit/APDUCommand.hpp"
#include "SelvorTokenKit/APDUResponse.hpp"
#include "SelvorTokenKit/APDUTransceiver.hpp"
#include "SelvorTokenKit/Hex.hpp"
#include "SelvorTokenKit/PcscError.hpp"
#include "SelvorTokenKit/TokenError.hpp"
#include "support/ScriptedCard.hpp"

#include <gtest/gtest.h>

namespace SelvorTokenKit {
namespace {

using Testing::ScriptedCard;

TEST(APDUTransceiver, sendsTheEncodedCommandAndParsesTheReplyUnchanged) {
    ScriptedCard card({{"0084000008", "0102030405060708 6100"}});
    const APDUResponse response =
        APDUTransceiver::transmit(APDUCommand(0x00, 0x84, 0x00, 0x00, std::nullopt, 8), card);
    EXPECT_EQ(bytesToHex(*response.data()), "0102030405060708");
    EXPECT_EQ(response.hexStatus(), "6100");
    EXPECT_FALSE(response.isSuccess());
}

TEST(APDUTransceiver, hexTextIsSentAsItIsWithoutReencoding) {
    // Lc 00 followed by Le: not what buildBuffer would produce, sent anyway.
    ScriptedCard card({{"00A4040000FF", "9000"}});
    EXPECT_TRUE(APDUTransceiver::transmit("00 A4 04 00 00 FF", card).isSuccess());
}

TEST(APDUTransceiver, unusableHexTextIsRefusedBeforeAnythingIsSent) {
    ScriptedCard card({});
    for (const char* text : {"", " : ", "0A4", "zz"}) {
        SCOPED_TRACE(text);
        try {
            APDUTransceiver::transmit(text, card);
            ADD_FAILURE() << "no error";
        } catch (const TokenError& error) {
            EXPECT_EQ(error.kind(), TokenError::Kind::invalidAPDU);
        }
    }
}

TEST(APDUTransceiver, aTransportErrorReachesTheCallerUnchanged) {
    ScriptedCard card({{"00A40400", std::nullopt}});
    EXPECT_THROW(APDUTransceiver::transmit(APDUCommand(0x00, 0xA4, 0x04, 0x00), card), PcscError);
}

TEST(APDUResponse, wipeRemovesTheData) {
    APDUResponse response(hexToBytes("0102039000"));
    response.wipe();
    EXPECT_FALSE(response.data().has_value());
    EXPECT_EQ(response.description(), "APDUResponse(SW=9000, data=<0B>)");
}

} // namespace
} // namespace SelvorTokenKit
