#pragma once

#include <cstddef>

namespace TokenSim {

// Writes the whole buffer to the socket, resuming after signals; false once the peer is gone.
bool sendAll(int fd, const void* data, std::size_t size);

} // namespace TokenSim
