#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <vector>

namespace kelvore {

// A message digest computed by the system's own cryptography (CNG on Windows, OpenSSL's
// libcrypto on POSIX). Add takes the data in any number of parts, then Finish gives the
// digest once. Failures throw IoError.
class Digest {
 public:
  virtual ~Digest() = default;

  virtual void Add(std::span<const std::byte> bytes) = 0;
  virtual std::vector<std::byte> Finish() = 0;
};

std::unique_ptr<Digest> MakeMd5();
std::unique_ptr<Digest> MakeSha1();

}  // namespace kelvore
