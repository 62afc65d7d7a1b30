#pragma once

#include "SelvorTokenKit/Bytes.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace SelvorTokenKit {

// A short command APDU, immutable once built. The payload (PINs and hashes travel in it) is
// overwritten with zeros when the command is destroyed.
class APDUCommand {
public:
    // Throws TokenError(invalidAPDU) when data has 256 bytes or more. le 0 means no Le field.
    APDUCommand(std::uint8_t cla, std::uint8_t ins, std::uint8_t p1, std::uint8_t p2,
                std::optional<Bytes> data = std::nullopt, std::uint8_t le = 0);
    // Parses hex text (CLA INS P1 P2 [Lc data] [Le]); throws TokenError(invalidAPDU).
    static APDUCommand fromHex(std::string_view text);

    ~APDUCommand();
    APDUCommand(APDUCommand&& other) noexcept = default;
    APDUCommand& operator=(APDUCommand&&) = delete;
    APDUCommand(const APDUCommand&) = delete;
    APDUCommand& operator=(const APDUCommand&) = delete;

    [[nodiscard]] std::uint8_t cla() const noexcept { return m_cla; }
    [[nodiscard]] std::uint8_t ins() const noexcept { return m_ins; }
    [[nodiscard]] std::uint8_t p1() const noexcept { return m_p1; }
    [[nodiscard]] std::uint8_t p2() const noexcept { return m_p2; }
    [[nodiscard]] std::uint8_t lc() const noexcept { return m_lc; }
    [[nodiscard]] const std::optional<Bytes>& payload() const noexcept { return m_payload; }
    [[nodiscard]] std::uint8_t le() const noexcept { return m_le; }

    // The encoded command; the caller wipes it when it carries secrets.
    [[nodiscard]] Bytes buildBuffer() const;
    // "CLA=00 INS=20 P1=00 P2=02 Lc=10 Data=<redacted:16B> Le=00": never shows data bytes.
    [[nodiscard]] std::string redactedDescription() const;

private:
    std::uint8_t m_cla;
    std::uint8_t m_ins;
    std::uint8_t m_p1;
    std::uint8_t m_p2;
    std::uint8_t m_lc = 0;
    std::optional<Bytes> m_payload;
    std::uint8_t m_le;
};

} // namespace SelvorTokenKit
