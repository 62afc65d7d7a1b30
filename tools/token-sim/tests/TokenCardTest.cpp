// The token's answers to plain commands and to malformed or out-of-place ones.

#include "TokenSim/Hex.hpp"
#include "TokenSim/InProcessCard.hpp"

#include <gtest/gtest.h>

namespace {

using TokenSim::Bytes;

std::string send(TokenSim::TokenCard& card, const std::string& apduHex) {
    return TokenSim::toHex(card.transmit(TokenSim::fromHex(apduHex).value()));
}

const std::string selectApplet = "00A404000E656E746572736166652D66697073";

TEST(TokenCard, answersTheEstablishmentCommandsInEachMode) {
    for (const bool fips : {false, true}) {
        TokenSim::TokenConfig config;
        config.fips = fips;
        TokenSim::TokenCard card(config);
        EXPECT_EQ(send(card, selectApplet), "9000");
        const std::string parameters = send(card, "80CA008600");
        ASSERT_EQ(parameters.size(), 2u * 37);
        // Host classification: 80 01 01 at the start and 87 01 01 at 32 mean FIPS / AES.
        EXPECT_EQ(parameters.substr(0, 6), fips ? "800101" : "800100");
        EXPECT_EQ(parameters.substr(64, 6), fips ? "870101" : "870100");
        const std::string initializeUpdate =
            send(card, "80500000080102030405060708" + std::string(fips ? "1D" : "1C"));
        EXPECT_EQ(initializeUpdate.size(), 2u * ((fips ? 29 : 28) + 2));
        EXPECT_EQ(initializeUpdate.substr(initializeUpdate.size() - 4), "9000");
        EXPECT_EQ(card.atr().size() >= 20 && card.atr()[19] == 0x03, fips);
    }
}

TEST(TokenCard, givesChallengesOfTheAskedLength) {
    TokenSim::TokenCard card;
    const std::string first = send(card, "0084000008");
    const std::string second = send(card, "0084000008");
    EXPECT_EQ(first.size(), 20u);
    EXPECT_EQ(first.substr(16), "9000");
    EXPECT_NE(first, second);
    EXPECT_EQ(send(card, "00840000"), "6700");
}

TEST(TokenCard, answersWrongCommandsWithTheirStatusWords) {
    TokenSim::TokenCard card;
    EXPECT_EQ(send(card, "00A404000E656E746572736166652D66697074"), "6A82"); // unknown applet
    EXPECT_EQ(send(card, "00440000"), "6D00");                               // unknown INS
    EXPECT_EQ(send(card, "B0A4040000"), "6E00");                             // unknown class
    EXPECT_EQ(send(card, "00CA008600"), "6E00");                        // ISO class on GET DATA
    EXPECT_EQ(send(card, "80CA00FF00"), "6A88");                        // unknown data object
    EXPECT_EQ(send(card, "00A4"), "6700");                              // too short
    EXPECT_EQ(send(card, "00A4000002C0"), "6700");                      // Lc beyond the data
    EXPECT_EQ(send(card, "0020000310" + std::string(32, '0')), "6A88"); // no such PIN
    EXPECT_EQ(send(card, "0020000205313233"), "6700");                  // short PIN block
    EXPECT_EQ(send(card, "002A9E9A0401020304"), "6A88");                // no key yet
    EXPECT_EQ(send(card, "00B00000FE"), "6986");                        // no file selected
    EXPECT_EQ(send(card, "00A4000002D000"), "6A82");                    // no such file
}

TEST(TokenCard, refusesProtectedWorkWithoutASecureChannel) {
    TokenSim::TokenCard card;
    const std::string pinBlock = "02110A313233343536" + std::string(20, '0');
    EXPECT_EQ(send(card, "00DA006813" + pinBlock), "6982");
    EXPECT_EQ(send(card, "004600000B3008040101800113810120"), "6982");
    EXPECT_EQ(send(card, "00A4000002C000"), "9000");
    EXPECT_EQ(send(card, "00D6000003010203"), "6982");
    // A command marked as protected while no session exists.
    EXPECT_EQ(send(card, "044400000A8E080102030405060708"
                         "00"),
              "6988");
    EXPECT_EQ(send(card, "8482030010" + std::string(32, '0')), "6300");
}

TEST(TokenCard, countsWrongPinsDownAndBlocks) {
    TokenSim::TokenCard card;
    const std::string right = "0020000210313233343536" + std::string(20, '0');
    const std::string wrong = "0020000210393939393939" + std::string(20, '0');
    EXPECT_EQ(send(card, right), "9000");
    EXPECT_EQ(send(card, "00200002"), "9000"); // status query after a right PIN
    EXPECT_EQ(send(card, wrong), "63C2");
    EXPECT_EQ(send(card, right), "9000"); // a right PIN restores the counter
    EXPECT_EQ(send(card, wrong), "63C2");
    EXPECT_EQ(send(card, wrong), "63C1");
    EXPECT_EQ(send(card, "00200002"), "63C1");
    EXPECT_EQ(send(card, wrong), "63C0");
    EXPECT_EQ(send(card, wrong), "6983");
    EXPECT_EQ(send(card, right), "6983");
    EXPECT_EQ(send(card, "00200002"), "6983");
}

TEST(TokenCard, readsFilesInPlainChunksOfAtMost256Bytes) {
    TokenSim::TokenConfig config;
    Bytes contents(300);
    for (std::size_t i = 0; i < contents.size(); ++i) {
        contents[i] = static_cast<std::uint8_t>(i);
    }
    config.files = {{0xC000, contents}};
    TokenSim::TokenCard card(config);
    EXPECT_EQ(send(card, "00A4000002C000"), "9000");
    const std::string first = send(card, "00B00000FE");
    EXPECT_EQ(first, TokenSim::toHex(Bytes(contents.begin(), contents.begin() + 254)) + "9000");
    EXPECT_EQ(send(card, "00B000FEFE"),
              TokenSim::toHex(Bytes(contents.begin() + 254, contents.end())) + "9000");
    EXPECT_EQ(send(card, "00B0012C10"), "6B00"); // offset at the end of the file
    EXPECT_EQ(send(card, "00B0000000").size(), 2u * 258);
}

TEST(TokenCard, selectingTheAppletAgainEndsPinVerification) {
    TokenSim::InProcessCard inProcess;
    TokenSim::TokenCard& card = inProcess.card();
    EXPECT_EQ(send(card, "0020000210313233343536" + std::string(20, '0')), "9000");
    EXPECT_EQ(send(card, selectApplet), "9000");
    EXPECT_EQ(send(card, "00200002"), "63C3");
    inProcess.remove();
    EXPECT_THROW(inProcess.transmitRaw(TokenSim::fromHex(selectApplet).value()),
                 std::runtime_error);
    inProcess.insert();
    EXPECT_EQ(TokenSim::toHex(inProcess.transmitRaw(TokenSim::fromHex(selectApplet).value())),
              "9000");
    ASSERT_FALSE(inProcess.commandLog().empty());
    EXPECT_EQ(TokenSim::toHex(inProcess.commandLog().back().apdu), selectApplet);
}

} // namespace
