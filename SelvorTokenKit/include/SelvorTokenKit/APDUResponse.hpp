#pragma once

#include "SelvorTokenKit/Bytes.hpp"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace SelvorTokenKit {

// A response APDU exactly as the card returned it. The data is overwritten with zeros by wipe()
// and on destruction.
class APDUResponse {
public:
    // Data followed by SW1 SW2; fewer than two bytes read as status 6F00 without data.
    explicit APDUResponse(std::span<const std::uint8_t> fullData);
    APDUResponse(std::optional<Bytes> data, std::uint8_t sw1, std::uint8_t sw2);

    ~APDUResponse();
    APDUResponse(APDUResponse&& other) noexcept = default;
    APDUResponse& operator=(APDUResponse&&) = delete;
    APDUResponse(const APDUResponse&) = delete;
    APDUResponse& operator=(const APDUResponse&) = delete;

    [[nodiscard]] const std::optional<Bytes>& data() const noexcept { return m_data; }
    [[nodiscard]] std::optional<Bytes>& data() noexcept { return m_data; }
    [[nodiscard]] std::uint8_t sw1() const noexcept { return m_sw1; }
    [[nodiscard]] std::uint8_t sw2() const noexcept { return m_sw2; }
    [[nodiscard]] std::uint16_t status() const noexcept {
        return static_cast<std::uint16_t>(m_sw1 << 8 | m_sw2);
    }
    // Only 90 00 counts; 61xx and 9Fxx are failures at this layer.
    [[nodiscard]] bool isSuccess() const noexcept { return m_sw1 == 0x90 && m_sw2 == 0x00; }
    // "6982"
    [[nodiscard]] std::string hexStatus() const;
    // "APDUResponse(SW=9000, data=<64B>)"
    [[nodiscard]] std::string description() const;

    void wipe();

private:
    std::optional<Bytes> m_data;
    std::uint8_t m_sw1;
    std::uint8_t m_sw2;
};

} // namespace SelvorTokenKit
