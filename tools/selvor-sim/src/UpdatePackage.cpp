#include "UpdatePackage.hpp"

#include <openssl/evp.h>

#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <random>
#include <stdexcept>

namespace SelvorSim {
namespace {

// The development signing key, raw Ed25519 seed. Its public half,
// 7VjRZ2mtWTe8qenIjZvn4YfFEylcqxFYl0amonSDUWs=, is what development builds verify against;
// release builds trust another key, so nothing signed here installs on a user's machine.
constexpr std::array<unsigned char, 32> developmentSeed{
    0x90, 0x6c, 0x38, 0xa2, 0x9f, 0x8d, 0x4b, 0x36, 0x32, 0xc1, 0xad, 0x87, 0xd0, 0xfe, 0x45, 0x82,
    0x1e, 0xe9, 0x95, 0xc5, 0xf2, 0xd8, 0x63, 0xd1, 0x96, 0xd0, 0x18, 0x57, 0x7b, 0x69, 0x69, 0x47,
};

using KeyHandle = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using SignContext = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;

// Different from the cloud file's seed, so the two large stand-ins never look alike.
std::shared_ptr<const std::string> packageBytes(std::size_t size) {
    std::string bytes(size, '\0');
    std::mt19937_64 engine(20261130);
    for (std::size_t i = 0; i < size; i += 8) {
        const std::uint64_t word = engine();
        for (std::size_t b = 0; b < 8 && i + b < size; ++b)
            bytes[i + b] = static_cast<char>(word >> (8 * b));
    }
    return std::make_shared<const std::string>(std::move(bytes));
}

std::string signBase64(const std::string& message) {
    const KeyHandle key(EVP_PKEY_new_raw_private_key(EVP_PKEY_ED25519, nullptr,
                                                     developmentSeed.data(),
                                                     developmentSeed.size()),
                        EVP_PKEY_free);
    const SignContext context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    std::array<unsigned char, 64> signature{};
    std::size_t length = signature.size();
    // Ed25519 takes the whole message at once: no separate digest, no streaming.
    if (!key || !context ||
        EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1 ||
        EVP_DigestSign(context.get(), signature.data(), &length,
                       reinterpret_cast<const unsigned char*>(message.data()),
                       message.size()) != 1 ||
        length != signature.size())
        throw std::runtime_error("cannot sign the update package");
    std::array<unsigned char, 4 * ((64 + 2) / 3) + 1> text{};
    const int written =
        EVP_EncodeBlock(text.data(), signature.data(), static_cast<int>(signature.size()));
    return std::string(reinterpret_cast<const char*>(text.data()),
                       static_cast<std::size_t>(written));
}

} // namespace

UpdatePackage updatePackage(std::size_t size) {
    static std::mutex mutex;
    static std::map<std::size_t, UpdatePackage> packages;
    // Held while building, so requests racing for a new size wait for one build.
    std::lock_guard lock(mutex);
    const auto found = packages.find(size);
    if (found != packages.end())
        return found->second;
    UpdatePackage package{packageBytes(size), {}};
    package.signatureBase64 = signBase64(*package.bytes);
    return packages.emplace(size, std::move(package)).first->second;
}

} // namespace SelvorSim
