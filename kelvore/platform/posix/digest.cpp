#include "kelvore/platform/digest.h"

#include <nettle/md5.h>
#include <nettle/sha1.h>

namespace kelvore {
namespace {

// Nettle's context, update and digest functions for one algorithm; they cannot fail.
template <typename Context, void (*Init)(Context*),
          void (*Update)(Context*, std::size_t, const std::uint8_t*),
          void (*Final)(Context*, std::size_t, std::uint8_t*), std::size_t kLength>
class NettleDigest : public Digest {
 public:
  NettleDigest() { Init(&context_); }

  void Add(std::span<const std::byte> bytes) override {
    Update(&context_, bytes.size(), reinterpret_cast<const std::uint8_t*>(bytes.data()));
  }

  std::vector<std::byte> Finish() override {
    std::vector<std::byte> digest(kLength);
    Final(&context_, digest.size(), reinterpret_cast<std::uint8_t*>(digest.data()));
    return digest;
  }

 private:
  Context context_;
};

using Md5 = NettleDigest<md5_ctx, md5_init, md5_update, md5_digest, MD5_DIGEST_SIZE>;
using Sha1 = NettleDigest<sha1_ctx, sha1_init, sha1_update, sha1_digest, SHA1_DIGEST_SIZE>;

}  // namespace

std::unique_ptr<Digest> MakeMd5() { return std::make_unique<Md5>(); }

std::unique_ptr<Digest> MakeSha1() { return std::make_unique<Sha1>(); }

}  // namespace kelvore
