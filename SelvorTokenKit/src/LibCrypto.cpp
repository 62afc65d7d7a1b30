#include "SelvorTokenKit/LibCrypto.hpp"

#include "SelvorTokenKit/Log.hpp"

#include <openssl/macros.h>
#include <openssl/opensslv.h>

#include <dlfcn.h>

#include <cstdlib>

namespace SelvorTokenKit {
namespace {

// The library the headers we were built with belong to.
constexpr const char* libraryName = "libcrypto.so." OPENSSL_MSTR(OPENSSL_VERSION_MAJOR);

[[noreturn]] void cannotLoad(const char* why) {
    Logger("mn.selvor.eid.desktop", "LibCrypto")
        .error("cannot load %{public}s: %{public}s", libraryName, why ? why : "no reason given");
    std::abort();
}

LibCrypto bind() {
    // Kept for the life of the process, like a library linked outright.
    void* library = dlopen(libraryName, RTLD_NOW | RTLD_LOCAL);
    if (!library)
        cannotLoad(dlerror());
    LibCrypto functions;
#define SELVOR_LIBCRYPTO_BIND(name)                                                                \
    functions.name = reinterpret_cast<decltype(&::name)>(dlsym(library, #name));                   \
    if (!functions.name)                                                                           \
        cannotLoad(dlerror());
    SELVOR_LIBCRYPTO_FUNCTIONS(SELVOR_LIBCRYPTO_BIND)
#undef SELVOR_LIBCRYPTO_BIND
    return functions;
}

} // namespace

const LibCrypto& libCrypto() {
    static const LibCrypto functions = bind();
    return functions;
}

} // namespace SelvorTokenKit
