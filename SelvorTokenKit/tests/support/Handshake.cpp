#include "Handshake.hpp"

#include "SelvorTokenKit/Hex.hpp"
#include "SmCrypto.hpp"

#include <algorithm>

namespace SelvorTokenKit::Testing {

RandomSource fixedRandom(Bytes value) {
    return [value = std::move(value)](std::span<std::uint8_t> out) {
        std::copy_n(value.begin(), std::min(value.size(), out.size()), out.begin());
        return value.size() == out.size();
    };
}

Handshake makeHandshake(bool fips, const Bytes& transportKey) {
    const Bytes hostChallenge = hexToBytes("A1A2A3A4A5A6A7A8");
    const Bytes cardChallenge = hexToBytes("C1C2C3C4C5C6C7C8");
    Bytes derivation(cardChallenge.begin() + 4, cardChallenge.end());
    derivation.insert(derivation.end(), hostChallenge.begin(), hostChallenge.begin() + 4);
    derivation.insert(derivation.end(), cardChallenge.begin(), cardChallenge.begin() + 4);
    derivation.insert(derivation.end(), hostChallenge.begin() + 4, hostChallenge.end());
    const auto ecb = fips ? SmCrypto::aesECBEncrypt : SmCrypto::tripleDESECBEncrypt;
    const Bytes keyEnc = ecb(transportKey, derivation);
    const Bytes keyMac = ecb(transportKey, derivation);

    const std::size_t blockSize = fips ? 16 : 8;
    Bytes challenges = hostChallenge;
    challenges.insert(challenges.end(), cardChallenge.begin(), cardChallenge.end());
    const Bytes zeroIV(blockSize, 0x00);
    const Bytes input = SmCrypto::pad(challenges, blockSize);
    const Bytes cipherText = fips ? SmCrypto::aesCBC(keyEnc, zeroIV, input, true)
                                  : SmCrypto::tripleDESCBC(keyEnc, zeroIV, input, true);
    const Bytes cryptogram(cipherText.begin() + 16, cipherText.begin() + 24);

    Bytes macInput = hexToBytes("8482030010");
    macInput.insert(macInput.end(), cryptogram.begin(), cryptogram.end());
    macInput.push_back(0x80);
    macInput.resize(fips ? 32 : 16, 0x00);
    const Bytes mac = fips ? SmCrypto::aesMAC(keyMac, zeroIV, macInput)
                           : SmCrypto::retailMAC(keyMac, zeroIV, macInput);
    Bytes icv = mac;
    icv.resize(16, 0x00);

    const std::string parameters =
        fips ? "800101" + std::string(58, '0') + "870101" + "9000" : "9000";
    const std::string keyInfo = fips ? "FF0203" : "FF02";
    return Handshake{
        {{"00A404000E656E746572736166652D66697073", "9000"},
         {"80CA008600", parameters},
         {"8050000008" + bytesToHex(hostChallenge) + (fips ? "1D" : "1C"),
          "00112233445566778899" + keyInfo + bytesToHex(cardChallenge) + bytesToHex(cryptogram) +
              "9000"},
         {"8482030010" + bytesToHex(cryptogram) + bytesToHex(mac), "9000"}},
        SecureMessaging::established(fips, keyEnc, keyMac, icv),
        hostChallenge,
    };
}

} // namespace SelvorTokenKit::Testing
