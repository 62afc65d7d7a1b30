// Replays the recorded secure-messaging sessions of the vector files against the token: given
// the recorded host's commands, the same card challenge and the same factory data, the token
// must answer byte for byte what the recording card answered, apart from the answers that
// depend on the recording card's own private keys.

#include "SignatureCheck.hpp"
#include "VectorFiles.hpp"

#include "TokenSim/Hex.hpp"
#include "TokenSim/TokenCard.hpp"

#include <gtest/gtest.h>

namespace {

using TokenSim::Bytes;

Bytes hex(const nlohmann::json& value) {
    auto bytes = TokenSim::fromHex(value.get<std::string>());
    if (!bytes) {
        throw std::runtime_error("bad hex in vectors: " + value.get<std::string>());
    }
    return *bytes;
}

Bytes withoutStatus(Bytes reply) {
    reply.resize(reply.size() - 2);
    return reply;
}

TokenSim::TokenConfig factoryStateOf(const nlohmann::json& session) {
    TokenSim::TokenConfig config;
    config.fips = session["suite"] == "aes";
    config.transportKeyEnc = hex(session["transportKeyEnc"]);
    config.transportKeyMac = hex(session["transportKeyMac"]);
    config.smParameters = withoutStatus(hex(session["getDataReply"]));
    config.diversificationData = hex(session["cardDiversificationData"]);
    config.keyInformation = hex(session["cardKeyInfo"]);
    config.userPin = session["pin"];
    config.random = std::make_shared<TokenSim::ScriptedRandom>(
        std::deque<Bytes>{hex(session["cardChallenge"])});
    // The recording card already held a file; its first read shows the contents.
    config.files.clear();
    std::uint16_t selected = 0;
    for (const auto& command : session["commands"]) {
        if (command["ins"] == "A4") {
            const Bytes id = hex(command["data"]);
            selected = static_cast<std::uint16_t>(id[0] << 8 | id[1]);
        } else if (command["ins"] == "B0" && !config.files.contains(selected)) {
            config.files[selected] = hex(command["unwrapped"]["data"]);
        }
    }
    return config;
}

// The signature in a protected SIGN EC reply, decrypted with the session's key.
Bytes signatureIn(const Bytes& reply, const nlohmann::json& session) {
    const auto suite = session["suite"] == "aes" ? TokenSim::Suite::aes : TokenSim::Suite::des;
    const std::size_t length = reply.at(1);
    const Bytes cipherText(reply.begin() + 3, reply.begin() + 2 + static_cast<long>(length));
    const Bytes padded = TokenSim::cbcDecrypt(suite, hex(session["sessionKeyEnc"]),
                                              Bytes(TokenSim::blockSize(suite), 0), cipherText);
    return TokenSim::unpad(padded).value_or(Bytes{});
}

void replay(const nlohmann::json& session) {
    TokenSim::TokenCard card(factoryStateOf(session));
    const auto& transcript = session["transcript"];
    const auto& commands = session["commands"];
    // The first four exchanges establish the session; the recorded commands follow in order.
    const std::size_t firstCommand = transcript.size() - commands.size();
    ASSERT_EQ(firstCommand, 4u);
    for (std::size_t i = 0; i < transcript.size(); ++i) {
        const auto& exchange = transcript[i];
        const Bytes reply = card.transmit(hex(exchange["command"]));
        const std::string expected = exchange["reply"];
        if (i < firstCommand) {
            EXPECT_EQ(TokenSim::toHex(reply), expected) << "establishment step " << i;
            continue;
        }
        const auto& command = commands[i - firstCommand];
        const std::string label = command["label"];
        if (command["ins"] == "2A" && command["p1"] == "9E") {
            // ECDSA is randomised and the key is the token's own: same layout, and the
            // signature verifies with this token's public key.
            ASSERT_EQ(reply.size(), expected.size() / 2) << label;
            EXPECT_EQ(TokenSim::toHex(reply).substr(0, 6), expected.substr(0, 6)) << label;
            EXPECT_TRUE(TokenSimTests::verifiesEcSignature(
                card.ecPublicKeyDer(), hex(command["data"]), signatureIn(reply, session)))
                << label;
        } else if (command["ins"] == "2A") {
            // This token's 2048-bit key answers with 256 bytes, more than one protected reply
            // can carry; the recording card answered 128 bytes.
            EXPECT_EQ(TokenSim::toHex(reply), "6700") << label;
        } else if (command["ins"] == "88") {
            // The recording card answered an instruction this token does not implement.
            EXPECT_EQ(TokenSim::toHex(reply), "6D00") << label;
        } else {
            EXPECT_EQ(TokenSim::toHex(reply), expected) << label;
        }
        const auto& logged = card.commandLog().back();
        EXPECT_TRUE(logged.secured) << label;
        // The recorded plain form cannot express Le 256; the token logs it as Le 00.
        const std::string le = command["le"].is_string() && command["le"] == "00" ? "00" : "";
        EXPECT_EQ(TokenSim::toHex(logged.apdu), command["plainApdu"].get<std::string>() + le)
            << label;
    }
}

TEST(RecordedSessions, replayAgainstTheToken) {
    std::size_t sessions = 0;
    for (const auto& file : TokenSimTests::loadVectorFiles("token-sm")) {
        for (const auto& session : file["sessions"]) {
            SCOPED_TRACE(session["name"].get<std::string>());
            replay(session);
            ++sessions;
        }
    }
    EXPECT_GT(sessions, 0u);
}

TEST(RecordedSessions, protectedReplyLimitsMatchTheVectors) {
    for (const auto& file : TokenSimTests::loadVectorFiles("token-sm")) {
        for (const auto& [suiteName, limits] : file["limits"].items()) {
            const TokenSim::SecureChannel channel(suiteName == "aes" ? TokenSim::Suite::aes
                                                                     : TokenSim::Suite::des);
            EXPECT_EQ(channel.maxReplyData(), limits["maxReplyDataWithDO99"]) << suiteName;
        }
    }
}

TEST(RecordedSessions, cipherPrimitivesMatchTheKnownAnswers) {
    using TokenSim::Suite;
    for (const auto& file : TokenSimTests::loadVectorFiles("token-sm")) {
        const auto& primitives = file["primitives"];
        for (const auto& v : primitives["tripleDESECBEncrypt"]) {
            EXPECT_EQ(TokenSim::ecbEncrypt(Suite::des, hex(v["key"]), hex(v["data"])),
                      hex(v["result"]));
        }
        for (const auto& v : primitives["aesECBEncrypt"]) {
            EXPECT_EQ(TokenSim::ecbEncrypt(Suite::aes, hex(v["key"]), hex(v["data"])),
                      hex(v["result"]));
        }
        for (const auto& v : primitives["tripleDESCBC"]) {
            EXPECT_EQ(
                TokenSim::cbcEncrypt(Suite::des, hex(v["key"]), hex(v["iv"]), hex(v["plain"])),
                hex(v["cipher"]));
        }
        for (const auto& v : primitives["aesCBC"]) {
            EXPECT_EQ(
                TokenSim::cbcDecrypt(Suite::aes, hex(v["key"]), hex(v["iv"]), hex(v["cipher"])),
                hex(v["plain"]));
        }
        for (const auto& v : primitives["desCBC"]) {
            EXPECT_EQ(
                TokenSim::cbcEncrypt(Suite::des, hex(v["key"]), hex(v["iv"]), hex(v["plain"])),
                hex(v["cipher"]));
        }
        for (const auto& v : primitives["retailMAC"]) {
            EXPECT_EQ(TokenSim::computeMac(Suite::des, hex(v["key"]), hex(v["iv"]), hex(v["data"])),
                      hex(v["mac"]));
        }
        for (const auto& v : primitives["aesMAC"]) {
            EXPECT_EQ(TokenSim::computeMac(Suite::aes, hex(v["key"]), hex(v["iv"]), hex(v["data"])),
                      hex(v["mac"]));
        }
    }
}

} // namespace
