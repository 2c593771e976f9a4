#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

#include "kelvore/base/errors.h"
#include "kelvore/base/message_format.h"

namespace kelvore {

// The system's words for the last failure (errno).
inline std::string Reason() { return std::strerror(errno); }

// Reads exactly `out` at `offset`; `what` names the file in messages.
inline void ReadExactly(int fd, std::uint64_t offset, std::span<std::byte> out,
                        const std::string& what) {
  while (!out.empty()) {
    const ssize_t count = pread(fd, out.data(), out.size(), static_cast<off_t>(offset));
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) {
      throw IoError("Reading " + Printable(what) + " failed at offset " + Hex(offset) + ": " +
                    Reason());
    }
    if (count == 0) {
      throw IoError("Reading " + Printable(what) + " failed at offset " + Hex(offset) +
                    ": the file ended early.");
    }
    out = out.subspan(static_cast<std::size_t>(count));
    offset += static_cast<std::uint64_t>(count);
  }
}

}  // namespace kelvore
