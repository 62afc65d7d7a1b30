#include "ScriptedCard.hpp"

#include "SelvorTokenKit/Hex.hpp"
#include "SelvorTokenKit/PcscError.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <stdexcept>

namespace SelvorTokenKit::Testing {

namespace {

constexpr std::int64_t cardRemoved = 0x80100069;

// Upper-case hex without separators, worked on the text so that no byte copy of a scripted
// secret is ever made (the release probe would see it).
std::string normalized(const std::string& hex) {
    std::string text;
    for (const char c : hex) {
        if (std::isxdigit(static_cast<unsigned char>(c))) {
            text += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    return text;
}

} // namespace

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
    if (normalized(expected.command) != sentHex) {
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
