// Known-answer vectors for the token protocol, read from the folder named by
// SELVOR_TOKEN_VECTORS (default: the project's shared vectors). Every *.json there is checked
// against the kit step by step; a file of an unknown kind or with an unknown section fails.
#include "SelvorTokenKit/APDUCommand.hpp"
#include "SelvorTokenKit/APDUResponse.hpp"
#include "SelvorTokenKit/Hex.hpp"
#include "SelvorTokenKit/KaltorDriver.hpp"
#include "SelvorTokenKit/SecureMessaging.hpp"
#include "SelvorTokenKit/TokenError.hpp"
#include "SmCrypto.hpp"
#include "support/Handshake.hpp"
#include "support/ScriptedCard.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>

namespace SelvorTokenKit {
namespace {

using Testing::Exchange;
using Testing::fixedRandom;
using Testing::ScriptedCard;
using json = nlohmann::json;
namespace fs = std::filesystem;

Bytes hex(const json& value) {
    return hexToBytes(value.get<std::string>());
}

std::optional<Bytes> optionalHex(const json& value) {
    if (value.is_null()) {
        return std::nullopt;
    }
    return hex(value);
}

std::uint8_t byte(const json& value) {
    const Bytes bytes = hex(value);
    EXPECT_EQ(bytes.size(), 1u) << value;
    return bytes.empty() ? 0 : bytes[0];
}

std::optional<std::uint8_t> optionalByte(const json& value) {
    if (value.is_null()) {
        return std::nullopt;
    }
    return byte(value);
}

std::string upperHex(const json& value) {
    return bytesToHex(hex(value));
}

std::string status(std::uint16_t sw) {
    return bytesToHex(Bytes{static_cast<std::uint8_t>(sw >> 8), static_cast<std::uint8_t>(sw)});
}

// Runs the action and returns the TokenError kind it threw ("" when it returned).
std::string thrownKind(const std::function<void()>& action, std::uint16_t* statusOut = nullptr) {
    try {
        action();
    } catch (const TokenError& error) {
        if (statusOut != nullptr) {
            *statusOut = error.status();
        }
        return kindName(error.kind());
    }
    return "";
}

std::vector<Exchange> exchanges(const json& list, std::size_t count = SIZE_MAX) {
    std::vector<Exchange> script;
    for (const json& entry : list) {
        if (script.size() == count) {
            break;
        }
        script.push_back({entry["command"], entry["reply"].get<std::string>()});
    }
    return script;
}

// ---------------------------------------------------------------------------------------------
// apdu.json

void commandEncode(const json& entry) {
    const APDUCommand command(byte(entry["cla"]), byte(entry["ins"]), byte(entry["p1"]),
                              byte(entry["p2"]), optionalHex(entry["data"]), byte(entry["le"]));
    EXPECT_EQ(bytesToHex(command.buildBuffer()), upperHex(entry["encoded"]));
    EXPECT_EQ(command.lc(), byte(entry["lc"]));
    EXPECT_EQ(command.redactedDescription(), entry["redactedDescription"]);
}

void commandInitRejected(const json& entry) {
    const std::size_t length = entry["dataLength"];
    EXPECT_EQ(thrownKind([&] { APDUCommand(0x00, 0xD6, 0x00, 0x00, Bytes(length, 0xAB)); }),
              entry["error"]);
}

void commandFromHex(const json& entry) {
    const std::string text = entry["text"];
    if (!entry["ok"].get<bool>()) {
        EXPECT_EQ(thrownKind([&] { APDUCommand::fromHex(text); }), entry["error"]);
        return;
    }
    const APDUCommand command = APDUCommand::fromHex(text);
    EXPECT_EQ(command.cla(), byte(entry["cla"]));
    EXPECT_EQ(command.ins(), byte(entry["ins"]));
    EXPECT_EQ(command.p1(), byte(entry["p1"]));
    EXPECT_EQ(command.p2(), byte(entry["p2"]));
    EXPECT_EQ(command.payload(), optionalHex(entry["data"]));
    EXPECT_EQ(command.lc(), byte(entry["lc"]));
    EXPECT_EQ(command.le(), byte(entry["le"]));
    EXPECT_EQ(bytesToHex(command.buildBuffer()), upperHex(entry["reencoded"]));
    EXPECT_EQ(command.redactedDescription(), entry["redactedDescription"]);
}

void expectResponse(const APDUResponse& response, const json& entry) {
    if (entry.contains("data") && !entry["data"].is_null() && entry.contains("fullData")) {
        EXPECT_EQ(response.data(), optionalHex(entry["data"]));
    } else if (entry.contains("fullData")) {
        EXPECT_FALSE(response.data().has_value());
    }
    EXPECT_EQ(response.sw1(), byte(entry["sw1"]));
    EXPECT_EQ(response.sw2(), byte(entry["sw2"]));
    EXPECT_EQ(response.status(), entry["status"].get<int>());
    EXPECT_EQ(response.hexStatus(), entry["hexStatus"]);
    EXPECT_EQ(response.isSuccess(), entry["isSuccess"].get<bool>());
    EXPECT_EQ(response.description(), entry["description"]);
}

void responseParse(const json& entry) {
    expectResponse(APDUResponse(hex(entry["fullData"])), entry);
}

void responseFromParts(const json& entry) {
    const APDUResponse response(optionalHex(entry["data"]), byte(entry["sw1"]), byte(entry["sw2"]));
    EXPECT_EQ(response.data(), optionalHex(entry["data"]));
    expectResponse(response, entry);
}

void hexToBytesEntry(const json& entry) {
    EXPECT_EQ(bytesToHex(hexToBytes(entry["text"].get<std::string>())), entry["bytes"]);
}

void bytesToHexEntry(const json& entry) {
    const Bytes bytes = entry["bytes"].get<Bytes>();
    EXPECT_EQ(bytesToHex(bytes), entry["hex"]);
}

void constantTimeEqualsEntry(const json& entry) {
    EXPECT_EQ(constantTimeEquals(hex(entry["a"]), hex(entry["b"])), entry["equal"].get<bool>());
}

void incrementICVEntry(const json& entry) {
    Bytes icv = hex(entry["before"]);
    SmCrypto::incrementICV(icv);
    EXPECT_EQ(bytesToHex(icv), entry["after"]);
}

void padEntry(const json& entry) {
    EXPECT_EQ(bytesToHex(SmCrypto::pad(hex(entry["input"]), entry["blockSize"])), entry["output"]);
}

void removePaddingEntry(const json& entry) {
    EXPECT_EQ(bytesToHex(SmCrypto::removePadding(hex(entry["input"]))), entry["output"]);
}

void pinBlockEntry(const json& entry) {
    const std::string pin = entry["pin"];
    EXPECT_EQ(bytesToHex(Bytes(pin.begin(), pin.end())), entry["utf8"]);
    EXPECT_EQ(bytesToHex(KaltorDriver::pinBlock(pin)), entry["block"]);
}

// The plain encoding of every driver command, and the driver sending it where it does so
// without secure messaging.
void driverCommand(const json& entry) {
    const std::optional<std::uint8_t> le = optionalByte(entry["le"]);
    const APDUCommand command(byte(entry["cla"]), byte(entry["ins"]), byte(entry["p1"]),
                              byte(entry["p2"]), optionalHex(entry["data"]), le.value_or(0));
    const std::string plain = upperHex(entry["plainApdu"]);
    EXPECT_EQ(bytesToHex(command.buildBuffer()), plain);

    const Bytes data = optionalHex(entry["data"]).value_or(Bytes{});
    KaltorDriver driver;
    switch (command.ins()) {
    case 0x20: { // VERIFY: the PIN is the block without its zero padding
        const auto end = std::find(data.begin(), data.end(), 0x00);
        ScriptedCard card({{plain, "9000"}});
        driver.verifyPIN(std::string(data.begin(), end), command.p2(), card);
        break;
    }
    case 0x2A: {
        ScriptedCard card({{plain, "01029000"}});
        const Bytes signature =
            command.p1() == 0x9E ? driver.signECDSA(data, card) : driver.signRSA(data, card);
        EXPECT_EQ(bytesToHex(signature), "0102");
        break;
    }
    case 0xA4: { // SELECT FILE opens a certificate read
        ScriptedCard card({{plain, "9000"}, {"00B00000FE", "30829000"}});
        EXPECT_EQ(bytesToHex(driver.readCertificate(
                      static_cast<std::uint16_t>(data.at(0) << 8 | data.at(1)), card)),
                  "3082");
        break;
    }
    case 0xB0: { // READ BINARY: the offsets of a plain certificate read
        const std::size_t offset = command.p1() << 8 | command.p2();
        std::vector<Exchange> script{{"00A40000020001", "9000"}};
        for (std::size_t at = 0; at < offset; at += 254) {
            script.push_back(
                {bytesToHex(APDUCommand(0x00, 0xB0, static_cast<std::uint8_t>(at >> 8),
                                        static_cast<std::uint8_t>(at), std::nullopt, 0xFE)
                                .buildBuffer()),
                 bytesToHex(Bytes(254, 0x5A)) + "9000"});
        }
        script.push_back({plain, "AB9000"});
        ScriptedCard card(script);
        EXPECT_EQ(driver.readCertificate(0x0001, card).size(), offset + 1);
        break;
    }
    default: // PUT DATA, GENERATE KEY PAIR, UPDATE BINARY: the driver sends these protected only
        EXPECT_EQ(thrownKind([&] {
                      ScriptedCard card({});
                      if (command.ins() == 0xDA) {
                          driver.initializePIN("123456", "12345678", card);
                      } else if (command.ins() == 0x46 && data.at(7) == 0x13) {
                          driver.generateECKeyPair(data.at(4), card);
                      } else if (command.ins() == 0x46) {
                          driver.generateRSAKeyPair(data.at(4), data.at(10) << 8 | data.at(11),
                                                    card);
                      } else {
                          driver.writeCertificate(data, 0xC000, card);
                      }
                  }),
                  "authFailed");
        break;
    }
}

void fixedCommand(const json& entry) {
    const std::string bytes = upperHex(entry["bytes"]);
    KaltorDriver driver;
    if (bytes.starts_with("00A404")) {
        ScriptedCard card({{bytes, "9000"}});
        EXPECT_TRUE(driver.selectApplet(card).isSuccess());
        return;
    }
    if (bytes.starts_with("0084")) {
        ScriptedCard card({{bytes, "11223344556677889000"}});
        EXPECT_EQ(bytesToHex(driver.getChallenge(card)), "1122334455667788");
        return;
    }
    // GET DATA and INITIALIZE UPDATE, as mutual authentication sends them; a FIPS answer to
    // GET DATA selects the AES suite's Le.
    const bool initializeUpdate = bytes.starts_with("8050");
    const bool aes = initializeUpdate && bytes.ends_with("1D");
    const std::string fipsParameters = "800101" + std::string(58, '0') + "870101" + "9000";
    const Bytes hostChallenge =
        entry.contains("hostChallenge") ? hex(entry["hostChallenge"]) : Bytes(8, 0x42);
    ScriptedCard card(
        {{"00A404000E656E746572736166652D66697073", "9000"},
         {initializeUpdate ? "80CA008600" : bytes, aes ? fipsParameters : "9000"},
         {initializeUpdate ? bytes : "8050000008" + bytesToHex(hostChallenge) + "1C", "6A88"}});
    SecureMessaging session(fixedRandom(hostChallenge));
    EXPECT_EQ(thrownKind([&] { session.mutualAuth(card, Bytes(16, 1), Bytes(16, 1)); }),
              "unexpectedStatus");
}

void verifyStatus(const json& entry) {
    KaltorDriver driver;
    ScriptedCard card({{"002000021031323334353600000000000000000000", entry["sw"]}});
    try {
        driver.verifyPIN("123456", 0x02, card);
        EXPECT_TRUE(entry["error"].is_null());
    } catch (const TokenError& error) {
        EXPECT_EQ(kindName(error.kind()), entry["error"]);
        if (!entry["retriesLeft"].is_null()) {
            EXPECT_EQ(error.retriesLeft(), entry["retriesLeft"].get<int>());
        }
        if (!entry["status"].is_null()) {
            EXPECT_EQ(status(error.status()), entry["status"]);
        }
    }
}

void signStatus(const json& entry) {
    KaltorDriver driver;
    const Bytes hash(32, 0xAA);
    ScriptedCard card({{"002A9E9A20" + bytesToHex(hash), entry["reply"]}});
    if (entry["error"].is_null()) {
        EXPECT_EQ(bytesToHex(driver.signECDSA(hash, card)), upperHex(entry["signature"]));
        return;
    }
    try {
        driver.signECDSA(hash, card);
        ADD_FAILURE() << "signing did not fail";
    } catch (const TokenError& error) {
        EXPECT_EQ(kindName(error.kind()), entry["error"]);
        EXPECT_EQ(error.message(), entry["message"]);
    }
}

// ---------------------------------------------------------------------------------------------
// token-sm.json

bool isAES(const json& holder) {
    return holder["suite"] == "aes";
}

void limits(const json& section) {
    for (const auto& [suite, values] : section.items()) {
        SCOPED_TRACE(suite);
        const bool fips = suite == "aes";
        EXPECT_EQ(SecureMessaging::maxCommandData(fips, false), values["maxCommandDataWithoutLe"]);
        EXPECT_EQ(SecureMessaging::maxCommandData(fips, true), values["maxCommandDataWithLe"]);
        EXPECT_EQ(SecureMessaging::maxReplyData(fips, true), values["maxReplyDataWithDO99"]);
        EXPECT_EQ(SecureMessaging::maxReplyData(fips, false), values["maxReplyDataWithoutDO99"]);
    }
}

void primitives(const json& section) {
    std::set<std::string> seen;
    for (const auto& [name, cases] : section.items()) {
        seen.insert(name);
        for (const json& c : cases) {
            SCOPED_TRACE(name + " " + c.dump());
            if (name == "tripleDESECBEncrypt") {
                EXPECT_EQ(bytesToHex(SmCrypto::tripleDESECBEncrypt(hex(c["key"]), hex(c["data"]))),
                          c["result"]);
            } else if (name == "aesECBEncrypt") {
                EXPECT_EQ(bytesToHex(SmCrypto::aesECBEncrypt(hex(c["key"]), hex(c["data"]))),
                          c["result"]);
            } else if (name == "tripleDESCBC" || name == "aesCBC" || name == "desCBC") {
                const auto cbc = name == "tripleDESCBC" ? SmCrypto::tripleDESCBC
                                 : name == "aesCBC"     ? SmCrypto::aesCBC
                                                        : SmCrypto::desCBC;
                EXPECT_EQ(bytesToHex(cbc(hex(c["key"]), hex(c["iv"]), hex(c["plain"]), true)),
                          c["cipher"]);
                EXPECT_EQ(bytesToHex(cbc(hex(c["key"]), hex(c["iv"]), hex(c["cipher"]), false)),
                          c["plain"]);
            } else if (name == "retailMAC") {
                EXPECT_EQ(
                    bytesToHex(SmCrypto::retailMAC(hex(c["key"]), hex(c["iv"]), hex(c["data"]))),
                    c["mac"]);
            } else if (name == "aesMAC") {
                EXPECT_EQ(bytesToHex(SmCrypto::aesMAC(hex(c["key"]), hex(c["iv"]), hex(c["data"]))),
                          c["mac"]);
            } else {
                ADD_FAILURE() << "unknown primitive " << name;
            }
        }
    }
}

void getDataClassification(const json& entry) {
    const Bytes hostChallenge = hexToBytes("0102030405060708");
    ScriptedCard card(
        {{"00A404000E656E746572736166652D66697073", "9000"},
         {"80CA008600", entry["reply"]},
         {"8050000008" + bytesToHex(hostChallenge) + upperHex(entry["initializeUpdateLe"]),
          "6A88"}});
    SecureMessaging session(fixedRandom(hostChallenge));
    EXPECT_EQ(thrownKind([&] { session.mutualAuth(card, Bytes(16, 1), Bytes(16, 1)); }),
              "unexpectedStatus");
    EXPECT_EQ(session.isFIPS(), entry["isFIPS"].get<bool>());
    EXPECT_EQ(session.keyType() == KeyEncType::aes ? "aes" : "des", entry["keyType"]);
}

// Recomputes a protected command from its parts, then wraps it with the kit.
void checkWrap(SecureMessaging& session, const json& step) {
    const bool aes = session.isFIPS();
    const std::size_t blockSize = session.blockSize();
    const std::optional<Bytes> data = optionalHex(step["data"]);
    const std::optional<std::uint8_t> le =
        step.contains("le") ? optionalByte(step["le"]) : std::nullopt;
    const Bytes zeroIV(blockSize, 0x00);

    EXPECT_EQ(bytesToHex(session.icvMac()), step["icvBefore"]);
    Bytes header = hex(step["headerBlock"]);
    EXPECT_EQ(header.size(), blockSize);
    EXPECT_EQ(header[0], byte(step["cla"]) | 0x04);
    if (data && !data->empty()) {
        const Bytes padded = SmCrypto::pad(*data, blockSize);
        EXPECT_EQ(bytesToHex(padded), step["paddedData"]);
        const Bytes encrypted =
            aes ? SmCrypto::aesCBC(session.sessionKeyEnc(), zeroIV, padded, true)
                : SmCrypto::tripleDESCBC(session.sessionKeyEnc(), zeroIV, padded, true);
        EXPECT_EQ(bytesToHex(encrypted), step["encryptedData"]);
        EXPECT_EQ(step["do87"].get<std::string>(),
                  bytesToHex(Bytes{0x87, static_cast<std::uint8_t>(encrypted.size() + 1), 0x01}) +
                      bytesToHex(encrypted));
    } else {
        EXPECT_EQ(step["do87"], "");
    }
    EXPECT_EQ(step["do97"].get<std::string>(),
              le ? "9701" + bytesToHex(Bytes{*le}) : std::string());
    const Bytes do87 = hex(step["do87"]);
    header.insert(header.end(), do87.begin(), do87.end());
    const Bytes do97 = hex(step["do97"]);
    header.insert(header.end(), do97.begin(), do97.end());
    const Bytes macInput = SmCrypto::pad(header, blockSize);
    EXPECT_EQ(bytesToHex(macInput), step["macInput"]);
    Bytes icv = session.icvMac();
    SmCrypto::incrementICV(icv);
    EXPECT_EQ(bytesToHex(icv), step["icvIncremented"]);
    const Bytes macIv = aes ? icv : Bytes(icv.begin(), icv.begin() + 8);
    EXPECT_EQ(bytesToHex(macIv), step["macIv"]);
    const Bytes mac = aes ? SmCrypto::aesMAC(session.sessionKeyMac(), macIv, macInput)
                          : SmCrypto::retailMAC(session.sessionKeyMac(), macIv, macInput);
    EXPECT_EQ(bytesToHex(mac), step["mac"]);
    EXPECT_EQ(step["do8e"].get<std::string>(), "8E08" + bytesToHex(mac));

    const std::optional<std::span<const std::uint8_t>> dataView =
        data ? std::optional<std::span<const std::uint8_t>>(*data) : std::nullopt;
    const Bytes wrapped = session.wrapAPDU(byte(step["cla"]), byte(step["ins"]), byte(step["p1"]),
                                           byte(step["p2"]), dataView, le);
    EXPECT_EQ(bytesToHex(wrapped), step["wrapped"]);
    EXPECT_EQ(wrapped.at(4), byte(step["lc"]));
    EXPECT_EQ(bytesToHex(session.icvMac()), step["icvAfter"]);
}

// The mutual authentication of a session, step by step, then the state it leaves.
void checkAuthentication(const json& s, SecureMessaging& session, ScriptedCard& card) {
    const bool aes = isAES(s);
    session.mutualAuth(card, hex(s["transportKeyEnc"]), hex(s["transportKeyMac"]));
    EXPECT_TRUE(session.isEstablished());
    EXPECT_EQ(session.isFIPS(), s["isFIPS"].get<bool>());
    EXPECT_EQ(session.keyType() == KeyEncType::aes ? "aes" : "des", s["keyType"]);
    EXPECT_EQ(session.blockSize(), s["blockSize"].get<std::size_t>());

    const Bytes reply = hex(s["initializeUpdateReply"]);
    const std::size_t at = aes ? 13 : 12;
    EXPECT_EQ(bytesToHex(Bytes(reply.begin(), reply.begin() + 10)), s["cardDiversificationData"]);
    EXPECT_EQ(bytesToHex(Bytes(reply.begin() + 10, reply.begin() + at)), s["cardKeyInfo"]);
    EXPECT_EQ(bytesToHex(Bytes(reply.begin() + at, reply.begin() + at + 8)), s["cardChallenge"]);
    EXPECT_EQ(bytesToHex(Bytes(reply.begin() + at + 8, reply.begin() + at + 16)),
              s["cardCryptogram"]);

    const auto ecb = aes ? SmCrypto::aesECBEncrypt : SmCrypto::tripleDESECBEncrypt;
    EXPECT_EQ(bytesToHex(ecb(hex(s["transportKeyEnc"]), hex(s["derivationData"]))),
              s["sessionKeyEnc"]);
    EXPECT_EQ(bytesToHex(session.sessionKeyEnc()), s["sessionKeyEnc"]);
    EXPECT_EQ(bytesToHex(session.sessionKeyMac()), s["sessionKeyMac"]);
    const Bytes zeroIV(session.blockSize(), 0x00);
    const Bytes cipherText =
        aes ? SmCrypto::aesCBC(session.sessionKeyEnc(), zeroIV, hex(s["cryptogramInput"]), true)
            : SmCrypto::tripleDESCBC(session.sessionKeyEnc(), zeroIV, hex(s["cryptogramInput"]),
                                     true);
    EXPECT_EQ(bytesToHex(cipherText), s["cryptogramCipherText"]);
    EXPECT_EQ(bytesToHex(Bytes(cipherText.begin() + 16, cipherText.begin() + 24)), s["cryptogram"]);
    EXPECT_EQ(s["hostCryptogram"], s["cryptogram"]);
    const Bytes mac =
        aes ? SmCrypto::aesMAC(session.sessionKeyMac(), zeroIV, hex(s["externalAuthMacInput"]))
            : SmCrypto::retailMAC(session.sessionKeyMac(), zeroIV, hex(s["externalAuthMacInput"]));
    EXPECT_EQ(bytesToHex(mac), s["externalAuthMac"]);
    EXPECT_EQ(bytesToHex(session.icvMac()), s["icvAfterAuth"]);
}

// Drives the driver operation a session command belongs to, from the chain state before it.
// Returns the number of commands it covered (0 when the operation is not a driver call).
std::size_t checkDriverOperation(const json& s, const json& commands, std::size_t index) {
    const json& step = commands[index];
    if (step["operation"].is_null()) {
        return 0;
    }
    const std::string operation = step["operation"];
    if (operation == "selectFile" || operation == "readBinary" || operation == "updateBinary") {
        // Steps of certificate reads and writes, whose chunk sizes the driver chooses itself:
        // covered by the wrap checks.
        return 0;
    }
    const json& args = step["args"];
    KaltorDriver driver;
    driver.adoptSecureSession(SecureMessaging::established(
        isAES(s), hex(s["sessionKeyEnc"]), hex(s["sessionKeyMac"]), hex(step["icvBefore"])));
    std::vector<Exchange> script{{step["wrapped"], step["cardReply"].get<std::string>()}};
    ScriptedCard card(script);
    const Bytes data = optionalHex(step["data"]).value_or(Bytes{});
    const std::string unwrapped = step["unwrapped"]["data"];
    if (operation == "verifyPIN") {
        driver.verifyPIN(args["pin"].get<std::string>(), byte(args["reference"]), card);
    } else if (operation == "setPIN") {
        // PUT DATA user PIN and PUT DATA PUK come as one initializePIN.
        const json& next = commands.at(index + 1);
        EXPECT_EQ(next["operation"], "setPIN");
        card.append({next["wrapped"], next["cardReply"].get<std::string>()});
        driver.initializePIN(args["pin"].get<std::string>(), next["args"]["pin"].get<std::string>(),
                             card);
        return 2;
    } else if (operation == "generateECKeyPair") {
        driver.generateECKeyPair(byte(args["keyID"]), card);
    } else if (operation == "generateRSAKeyPair") {
        driver.generateRSAKeyPair(byte(args["keyID"]), args["keySize"].get<long>(), card);
    } else if (operation == "signECDSA") {
        EXPECT_EQ(bytesToHex(args.contains("hash") ? hex(args["hash"]) : data), bytesToHex(data));
        EXPECT_EQ(bytesToHex(driver.signECDSA(data, card)), unwrapped);
    } else if (operation == "signRSA") {
        EXPECT_EQ(bytesToHex(driver.signRSA(data, card)), unwrapped);
    } else {
        ADD_FAILURE() << "unknown operation " << operation;
        card.transmitRaw(hex(step["wrapped"]));
    }
    EXPECT_EQ(bytesToHex(driver.sm()->icvMac()), step["icvAfter"]);
    return 1;
}

void checkUnwrap(const SecureMessaging& session, const json& reply, const json& expected) {
    const Bytes icvBefore = session.icvMac();
    if (expected.contains("error") && !expected["error"].is_null()) {
        EXPECT_EQ(thrownKind([&] { session.unwrapResponse(hex(reply)); }), expected["error"]);
        return;
    }
    const UnwrappedResponse result = session.unwrapResponse(hex(reply));
    EXPECT_EQ(bytesToHex(result.data), upperHex(expected["data"]));
    EXPECT_EQ(result.sw1, byte(expected["sw1"]));
    EXPECT_EQ(result.sw2, byte(expected["sw2"]));
    EXPECT_EQ(session.icvMac(), icvBefore);
}

void session(const json& s) {
    const json& transcript = s["transcript"];
    const json& commands = s["commands"];
    ASSERT_EQ(transcript.size(), 4 + commands.size());
    EXPECT_EQ(transcript[0]["command"], s["selectCommand"]);
    EXPECT_EQ(transcript[1]["command"], s["getDataCommand"]);
    EXPECT_EQ(transcript[1]["reply"], s["getDataReply"]);
    EXPECT_EQ(transcript[2]["command"], s["initializeUpdateCommand"]);
    EXPECT_EQ(transcript[2]["reply"], s["initializeUpdateReply"]);
    EXPECT_EQ(transcript[3]["command"], s["externalAuthCommand"]);
    EXPECT_EQ(transcript[3]["reply"], s["externalAuthReply"]);

    // The driver establishes the session over exactly the first four exchanges.
    {
        KaltorDriver driver(fixedRandom(hex(s["hostChallenge"])));
        ScriptedCard card(exchanges(transcript, 4));
        driver.establishSecureSession(card, hex(s["transportKeyEnc"]), hex(s["transportKeyMac"]));
        ASSERT_TRUE(driver.sm().has_value());
        EXPECT_EQ(bytesToHex(driver.sm()->icvMac()), s["icvAfterAuth"]);
    }

    SecureMessaging sm(fixedRandom(hex(s["hostChallenge"])));
    ScriptedCard card(exchanges(transcript, 4));
    checkAuthentication(s, sm, card);
    for (std::size_t i = 0; i < commands.size(); ++i) {
        const json& step = commands[i];
        SCOPED_TRACE(step["label"].get<std::string>());
        EXPECT_EQ(transcript[4 + i]["command"], step["wrapped"]);
        EXPECT_EQ(transcript[4 + i]["reply"], step["cardReply"]);
        checkWrap(sm, step);
        checkUnwrap(sm, step["cardReply"], step["unwrapped"]);
    }
    for (std::size_t i = 0; i < commands.size();) {
        SCOPED_TRACE("driver: " + commands[i]["label"].get<std::string>());
        i += std::max<std::size_t>(1, checkDriverOperation(s, commands, i));
    }
    for (const json& unwrapCase : s["unwrapCases"]) {
        SCOPED_TRACE(unwrapCase["label"].get<std::string>());
        checkUnwrap(sm, unwrapCase["response"], unwrapCase);
    }
}

void wrapFromState(const json& entry) {
    SecureMessaging session =
        SecureMessaging::established(isAES(entry), hex(entry["sessionKeyEnc"]),
                                     hex(entry["sessionKeyMac"]), hex(entry["icvBefore"]));
    if (!entry["refused"].get<bool>()) {
        checkWrap(session, entry);
        return;
    }
    const std::optional<Bytes> data = optionalHex(entry["data"]);
    EXPECT_EQ(thrownKind([&] {
                  session.wrapAPDU(byte(entry["cla"]), byte(entry["ins"]), byte(entry["p1"]),
                                   byte(entry["p2"]), *data, optionalByte(entry["le"]));
              }),
              "secureMessagingFailed");
    EXPECT_EQ(bytesToHex(session.icvMac()), entry["icvAfter"]);
}

void mutualAuthError(const json& entry) {
    const Bytes hostChallenge = hex(entry["hostChallenge"]);
    {
        SecureMessaging session(fixedRandom(hostChallenge));
        ScriptedCard card(exchanges(entry["exchanges"]));
        std::uint16_t sw = 0;
        const std::string kind = thrownKind(
            [&] {
                session.mutualAuth(card, hex(entry["transportKeyEnc"]),
                                   hex(entry["transportKeyMac"]));
            },
            &sw);
        EXPECT_EQ(kind, entry["error"]);
        if (!entry["status"].is_null()) {
            EXPECT_EQ(status(sw), entry["status"]);
        }
        EXPECT_EQ(bytesToHex(session.sessionKeyEnc()), entry["sessionKeyEnc"]);
        EXPECT_EQ(bytesToHex(session.sessionKeyMac()), entry["sessionKeyMac"]);
        EXPECT_EQ(session.isEstablished(), entry["isEstablished"].get<bool>());
    }
    // Through the driver: the failure leaves it without a session.
    KaltorDriver driver(fixedRandom(hostChallenge));
    ScriptedCard card(exchanges(entry["exchanges"]));
    EXPECT_EQ(thrownKind([&] {
                  driver.establishSecureSession(card, hex(entry["transportKeyEnc"]),
                                                hex(entry["transportKeyMac"]));
              }),
              entry["error"]);
    EXPECT_FALSE(driver.sm().has_value());
}

// ---------------------------------------------------------------------------------------------

using Check = std::function<void(const json&)>;

struct Section {
    Check check;
    bool perEntry = true;
};

const std::map<std::string, std::map<std::string, Section>>& sectionsByKind() {
    static const std::map<std::string, std::map<std::string, Section>> sections{
        {"apdu",
         {{"commandEncode", {commandEncode}},
          {"commandInitRejected", {commandInitRejected}},
          {"commandFromHex", {commandFromHex}},
          {"responseParse", {responseParse}},
          {"responseFromParts", {responseFromParts}},
          {"hexToBytes", {hexToBytesEntry}},
          {"bytesToHex", {bytesToHexEntry}},
          {"constantTimeEquals", {constantTimeEqualsEntry}},
          {"incrementICV", {incrementICVEntry}},
          {"pad", {padEntry}},
          {"removePadding", {removePaddingEntry}},
          {"pinBlock", {pinBlockEntry}},
          {"driverCommands", {driverCommand}},
          {"fixedCommands", {fixedCommand}},
          {"verifyStatus", {verifyStatus}},
          {"signStatus", {signStatus}}}},
        {"token-sm",
         {{"limits", {limits, false}},
          {"primitives", {primitives, false}},
          {"getDataClassification", {getDataClassification}},
          {"sessions", {session}},
          {"wrapFromState", {wrapFromState}},
          {"mutualAuthErrors", {mutualAuthError}}}},
    };
    return sections;
}

const std::set<std::string> descriptiveKeys{"kind", "version", "notes", "ambiguous"};

fs::path vectorFolder() {
    if (const char* folder = std::getenv("SELVOR_TOKEN_VECTORS"); folder && *folder) {
        return folder;
    }
    return SELVOR_DEFAULT_VECTORS_DIR;
}

std::string entryLabel(const json& entry, std::size_t index) {
    if (entry.is_object() && entry.contains("label")) {
        return entry["label"].get<std::string>();
    }
    if (entry.is_object() && entry.contains("name")) {
        return entry["name"].get<std::string>();
    }
    return "#" + std::to_string(index);
}

// One vector's failure, thrown or not, is reported and the others still run.
void runCheck(const Check& check, const json& entry) {
    try {
        check(entry);
    } catch (const std::exception& error) {
        ADD_FAILURE() << "threw: " << error.what();
    }
}

TEST(TokenVectors, everyFileInTheFolderPasses) {
    const fs::path folder = vectorFolder();
    ASSERT_TRUE(fs::is_directory(folder)) << folder << " is not a folder";
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".json") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty()) << "no *.json vectors in " << folder;

    for (const fs::path& path : files) {
        SCOPED_TRACE(path.string());
        std::ifstream stream(path);
        const json file = json::parse(stream);
        const std::string kind = file.value("kind", "");
        const auto known = sectionsByKind().find(kind);
        if (known == sectionsByKind().end()) {
            ADD_FAILURE() << path << " has an unknown kind \"" << kind << "\"";
            continue;
        }
        std::size_t checked = 0;
        for (const auto& [name, content] : file.items()) {
            if (descriptiveKeys.contains(name)) {
                continue;
            }
            const auto section = known->second.find(name);
            if (section == known->second.end()) {
                ADD_FAILURE() << path << " has an unknown section \"" << name << "\"";
                continue;
            }
            SCOPED_TRACE(name);
            if (!section->second.perEntry) {
                runCheck(section->second.check, content);
                ++checked;
                continue;
            }
            for (std::size_t i = 0; i < content.size(); ++i) {
                SCOPED_TRACE(entryLabel(content[i], i));
                runCheck(section->second.check, content[i]);
                ++checked;
            }
        }
        EXPECT_GT(checked, 0u) << path << " holds no vectors";
        std::printf("%s: %zu vector(s) checked\n", path.filename().c_str(), checked);
    }
}

} // namespace
} // namespace SelvorTokenKit
