#pragma once

#include "SelvorTokenKit/Card.hpp"

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace SelvorTokenKit::Testing {

// One expected command and the card's answer, both as hex. No reply means the card is pulled
// out: the transmit fails with the service's "card removed" error.
struct Exchange {
    std::string command;
    std::optional<std::string> reply;
};

// A card that answers from a script in strict order. Any other command, or one past the end,
// fails the test loudly and throws.
class ScriptedCard : public Card {
public:
    explicit ScriptedCard(std::vector<Exchange> script, std::string atrHex = "");
    ScriptedCard(std::initializer_list<Exchange> script, std::string atrHex = "")
        : ScriptedCard(std::vector<Exchange>(script), std::move(atrHex)) {}
    ~ScriptedCard() override;
    ScriptedCard(const ScriptedCard&) = delete;
    ScriptedCard& operator=(const ScriptedCard&) = delete;

    void append(Exchange exchange) { m_script.push_back(std::move(exchange)); }
    [[nodiscard]] std::size_t sent() const noexcept { return m_next; }
    [[nodiscard]] bool finished() const noexcept { return m_next == m_script.size(); }

    Bytes transmitRaw(std::span<const std::uint8_t> command) override;
    Bytes atr() override;
    const std::string& readerName() const override { return m_readerName; }

private:
    std::vector<Exchange> m_script;
    std::string m_atrHex;
    std::string m_readerName = "Scripted Reader 00";
    std::size_t m_next = 0;
};

} // namespace SelvorTokenKit::Testing
