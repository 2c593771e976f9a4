#include "kelvore/base/digest.h"

#include <openssl/err.h>
#include <openssl/evp.h>

#include <string>

#include "kelvore/base/errors.h"

namespace kelvore {
namespace {

// A digest of OpenSSL's libcrypto, through its EVP interface.
class EvpDigest : public Digest {
 public:
  EvpDigest(const EVP_MD* algorithm, const char* name) : name_(name), context_(EVP_MD_CTX_new()) {
    if (!context_ || !EVP_DigestInit_ex(context_.get(), algorithm, nullptr)) Fail();
  }

  void Add(std::span<const std::byte> bytes) override {
    if (!EVP_DigestUpdate(context_.get(), bytes.data(), bytes.size())) Fail();
  }

  std::vector<std::byte> Finish() override {
    std::vector<std::byte> digest(EVP_MAX_MD_SIZE);
    unsigned int length = 0;
    if (!EVP_DigestFinal_ex(context_.get(), reinterpret_cast<unsigned char*>(digest.data()),
                            &length)) {
      Fail();
    }
    digest.resize(length);
    return digest;
  }

 private:
  struct FreeContext {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
  };

  [[noreturn]] void Fail() const {
    char reason[256] = "unknown error";
    if (const unsigned long error = ERR_get_error()) {
      ERR_error_string_n(error, reason, sizeof reason);
    }
    throw IoError(std::string("Computing the ") + name_ + " checksum failed: " + reason);
  }

  const char* name_;
  std::unique_ptr<EVP_MD_CTX, FreeContext> context_;
};

}  // namespace

std::unique_ptr<Digest> MakeMd5() { return std::make_unique<EvpDigest>(EVP_md5(), "MD5"); }

std::unique_ptr<Digest> MakeSha1() { return std::make_unique<EvpDigest>(EVP_sha1(), "SHA-1"); }

}  // namespace kelvore
