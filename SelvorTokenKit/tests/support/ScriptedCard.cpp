#include "ScriptedCard.hpp"

#include "SelvorTokenKit/Hex.hpp"
#include "SelvorTokenKit/PcscError.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

namespace SelvorTokenKit::Testing {

namespace {
constexpr std::int64_t cardRemoved = 0x80100069;
}

ScriptedCard::ScriptedCard(std::vector<Exchange> script, std::string atrHex)
    : m_script(std::move(script)), m_atrHex(std::move(atrHex)) {}

ScriptedCard::~ScriptedCard() {
    EXPECT_TRUE(finished()) << "the card expected " << m_script.size() - m_next
                            << " more command(s), next " << m_script[m_next].command;
}

Bytes ScriptedCard::transmitRaw(std::span<const std::uint8_t> command) {
    const std::string sentHex = bytesToHex(command);
    if (m_next >= m_script.size()) {
        ADD_FAILURE() << "unexpected command after the script ended: " << sentHex;
        throw std::runtime_error("unexpected command");
    }
    const Exchange& expected = m_script[m_next];
    if (bytesToHex(hexToBytes(expected.command)) != sentHex) {
        ADD_FAILURE() << "command " << m_next << " differs\n  expected " << expected.command
                      << "\n  sent     " << sentHex;
        throw std::runtime_error("unexpected command");
    }
    ++m_next;
    if (!expected.reply) {
        throw PcscError("SCardTransmit", cardRemoved);
    }
    return hexToBytes(*expected.reply);
}

Bytes ScriptedCard::atr() {
    return hexToBytes(m_atrHex);
}

} // namespace SelvorTokenKit::Testing
