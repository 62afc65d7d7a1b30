#include "SelvorTokenKit/APDUResponse.hpp"

#include "SelvorTokenKit/Hex.hpp"

#include <cstdio>

namespace SelvorTokenKit {

APDUResponse::APDUResponse(std::span<const std::uint8_t> fullData) : m_sw1(0x6F), m_sw2(0x00) {
    if (fullData.size() < 2) {
        return;
    }
    m_sw1 = fullData[fullData.size() - 2];
    m_sw2 = fullData[fullData.size() - 1];
    if (fullData.size() > 2) {
        m_data.emplace(fullData.begin(), fullData.end() - 2);
    }
}

APDUResponse::APDUResponse(std::optional<Bytes> data, std::uint8_t sw1, std::uint8_t sw2)
    : m_data(std::move(data)), m_sw1(sw1), m_sw2(sw2) {}

APDUResponse::~APDUResponse() {
    wipe();
}

std::string APDUResponse::hexStatus() const {
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X", m_sw1, m_sw2);
    return text;
}

std::string APDUResponse::description() const {
    return "APDUResponse(SW=" + hexStatus() + ", data=<" +
           std::to_string(m_data ? m_data->size() : 0) + "B>)";
}

void APDUResponse::wipe() {
    if (m_data) {
        wipeBytes(*m_data);
        m_data.reset();
    }
}

} // namespace SelvorTokenKit
