#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace SelvorSim {

// The stand-in for the package the update feed announces.
struct UpdatePackage {
    // Shared, so serving it copies no bytes.
    std::shared_ptr<const std::string> bytes;
    // Base64 of the Ed25519 signature over all of `bytes`, made with the development key that
    // development builds of the app trust.
    std::string signatureBase64;
};

// The package of `size` bytes: pseudo-random, the same on every run. Built and signed on the
// first call for a size, then kept.
UpdatePackage updatePackage(std::size_t size);

} // namespace SelvorSim
