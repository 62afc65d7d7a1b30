// The driver's plain commands against a card whose ATR and every reply come from the input: a
// card can answer anything, and only TokenErrors (or the service's PcscError) may come out.
//
// Input: ATR length byte and the ATR, then up to 16 operations: one byte picks the next driver
// call (RSA signing takes one more, its data length), and the card answers each command with a
// two-byte big-endian header and that many bytes (cut at the end of the input). Header bit 15
// makes that reply the card's answer to every later command (a card stuck on one reply: every
// read loop must still end); header 7FFF pulls the card out. Once the input runs out the card
// answers with the zero or one byte left.
#include "SelvorTokenKit/Card.hpp"
#include "SelvorTokenKit/KaltorDriver.hpp"
#include "SelvorTokenKit/Log.hpp"
#include "SelvorTokenKit/PcscError.hpp"
#include "SelvorTokenKit/TokenError.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

using namespace SelvorTokenKit;

namespace {

constexpr std::int64_t cardRemoved = 0x80100069;
constexpr std::uint16_t stickyBit = 0x8000;
constexpr std::uint16_t lengthBits = 0x7FFF;
constexpr std::uint16_t pulledOut = lengthBits;
constexpr int operationsPerInput = 16;

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : m_rest(data, size) {}

    [[nodiscard]] bool empty() const noexcept { return m_rest.empty(); }
    [[nodiscard]] std::size_t size() const noexcept { return m_rest.size(); }

    std::uint8_t byte() {
        if (m_rest.empty()) {
            return 0;
        }
        const std::uint8_t value = m_rest[0];
        m_rest = m_rest.subspan(1);
        return value;
    }

    Bytes bytes(std::size_t count) {
        count = std::min(count, m_rest.size());
        Bytes taken(m_rest.begin(), m_rest.begin() + static_cast<std::ptrdiff_t>(count));
        m_rest = m_rest.subspan(count);
        return taken;
    }

private:
    std::span<const std::uint8_t> m_rest;
};

class FuzzedCard : public Card {
public:
    FuzzedCard(Input& input, Bytes atr) : m_input(input), m_atr(std::move(atr)) {}

    Bytes transmitRaw(std::span<const std::uint8_t>) override {
        if (m_sticky) {
            m_lastReply = *m_sticky;
        } else if (m_input.size() < 2) {
            m_lastReply = m_input.bytes(2);
        } else {
            const auto high = m_input.byte();
            const auto header = static_cast<std::uint16_t>(high << 8 | m_input.byte());
            if (header == pulledOut) {
                m_lastReply.clear();
                throw PcscError("SCardTransmit", cardRemoved);
            }
            m_lastReply = m_input.bytes(header & lengthBits);
            if ((header & stickyBit) != 0) {
                m_sticky = m_lastReply;
            }
        }
        return m_lastReply;
    }

    Bytes atr() override { return m_atr; }
    const std::string& readerName() const override { return m_readerName; }

    [[nodiscard]] const Bytes& atrBytes() const noexcept { return m_atr; }
    [[nodiscard]] const Bytes& lastReply() const noexcept { return m_lastReply; }
    // The data of the last reply when it ended in 90 00.
    [[nodiscard]] std::optional<Bytes> lastSuccessData() const {
        const std::size_t size = m_lastReply.size();
        if (size < 2 || m_lastReply[size - 2] != 0x90 || m_lastReply[size - 1] != 0x00) {
            return std::nullopt;
        }
        return Bytes(m_lastReply.begin(), m_lastReply.end() - 2);
    }

private:
    Input& m_input;
    Bytes m_atr;
    Bytes m_lastReply;
    std::optional<Bytes> m_sticky;
    std::string m_readerName = "Fuzzed Reader 00";
};

// Messages are still formatted, then dropped: the journal would slow every run to a crawl.
class DiscardingSink : public LogSink {
public:
    void write(const LogRecord&) override {}
};

void check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

void runOperation(std::uint8_t choice, KaltorDriver& driver, FuzzedCard& card, Input& input,
                  bool& established) {
    static const Bytes hash(32, 0x5A);
    static const Bytes key(KaltorDriver::defaultTransportKey.begin(),
                           KaltorDriver::defaultTransportKey.end());
    switch (choice % 8) {
    case 0: {
        const TokenInfo info = driver.getTokenInfo(card);
        const Bytes& atr = card.atrBytes();
        check(info.atr == atr && info.atrHex().size() == 2 * atr.size());
        check(info.isFIPS == (atr.size() >= 20 && atr[19] == 0x03));
        check(info.appletSelected == card.lastSuccessData().has_value());
        break;
    }
    case 1:
        driver.selectApplet(card);
        break;
    case 2: {
        const Bytes challenge = driver.getChallenge(card);
        check(challenge.size() == 8 && card.lastSuccessData() == challenge);
        break;
    }
    case 3:
        driver.verifyPIN("123456", KaltorDriver::userPINReference, card);
        break;
    case 4: {
        const Bytes signature = driver.signECDSA(hash, card);
        check(!signature.empty() && (established || card.lastSuccessData() == signature));
        break;
    }
    case 5: {
        const Bytes data(input.byte(), 0x6B);
        const Bytes signature = driver.signRSA(data, card);
        check(!signature.empty() && (established || card.lastSuccessData() == signature));
        break;
    }
    case 6:
        check(!driver.readCertificate(0xC000, card).empty());
        break;
    default:
        driver.establishSecureSession(card, key, key);
        established = true;
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setLogSink(std::make_shared<DiscardingSink>());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input input(data, size);
    const std::uint8_t atrLength = input.byte();
    FuzzedCard card(input, input.bytes(atrLength));
    KaltorDriver driver([](std::span<std::uint8_t> out) {
        std::fill(out.begin(), out.end(), 0xA5);
        return true;
    });
    bool established = false;
    for (int i = 0; i < operationsPerInput && !input.empty(); ++i) {
        try {
            runOperation(input.byte(), driver, card, input, established);
        } catch (const TokenError&) {
        } catch (const PcscError&) {
        }
        check(driver.sm().has_value() == established);
    }
    return 0;
}
