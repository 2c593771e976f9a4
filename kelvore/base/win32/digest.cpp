#include "kelvore/base/digest.h"

// clang-format off
#include <windows.h>
#include <bcrypt.h>
// clang-format on

#include <algorithm>
#include <climits>
#include <string>

#include "kelvore/base/errors.h"
#include "kelvore/base/message_format.h"
#include "kelvore/base/win32/system_library.h"
#include "platform/win32/unique_handle.h"

// Digests of the system's CNG, as every Windows version that has CNG offers them: an
// algorithm provider opened for each digest, and a hash object in memory of our own.
namespace kelvore {
namespace {

using platform::win32::NullOnFailure;
using platform::win32::UniqueHandle;

// The CNG functions this file calls.
struct CngFunctions {
  decltype(&BCryptOpenAlgorithmProvider) open_algorithm;
  decltype(&BCryptCloseAlgorithmProvider) close_algorithm;
  decltype(&BCryptGetProperty) get_property;
  decltype(&BCryptCreateHash) create_hash;
  decltype(&BCryptHashData) hash_data;
  decltype(&BCryptFinishHash) finish_hash;
  decltype(&BCryptDestroyHash) destroy_hash;
};

// bcrypt.dll, loaded from the system folder, and the functions this file calls from it.
class CngLibrary {
 public:
  CngLibrary()
      : library_(L"bcrypt.dll", "the system's cryptography library"),
        functions_{
            library_.Find<decltype(&BCryptOpenAlgorithmProvider)>("BCryptOpenAlgorithmProvider"),
            library_.Find<decltype(&BCryptCloseAlgorithmProvider)>("BCryptCloseAlgorithmProvider"),
            library_.Find<decltype(&BCryptGetProperty)>("BCryptGetProperty"),
            library_.Find<decltype(&BCryptCreateHash)>("BCryptCreateHash"),
            library_.Find<decltype(&BCryptHashData)>("BCryptHashData"),
            library_.Find<decltype(&BCryptFinishHash)>("BCryptFinishHash"),
            library_.Find<decltype(&BCryptDestroyHash)>("BCryptDestroyHash"),
        } {}

  const CngFunctions& Functions() const { return functions_; }

 private:
  SystemLibrary library_;
  CngFunctions functions_;
};

// Loaded on first use, kept until the process ends.
const CngFunctions& Cng() {
  static const CngLibrary library;
  return library.Functions();
}

void CloseAlgorithm(BCRYPT_ALG_HANDLE handle) { Cng().close_algorithm(handle, 0); }
void DestroyHash(BCRYPT_HASH_HANDLE handle) { Cng().destroy_hash(handle); }

// An algorithm provider, closed with BCryptCloseAlgorithmProvider.
using UniqueAlgorithm = UniqueHandle<NullOnFailure<BCRYPT_ALG_HANDLE, CloseAlgorithm>>;
// A hash object, destroyed with BCryptDestroyHash before its memory goes.
using UniqueHash = UniqueHandle<NullOnFailure<BCRYPT_HASH_HANDLE, DestroyHash>>;

class CngDigest : public Digest {
 public:
  CngDigest(const wchar_t* algorithm, const char* name) : name_(name) {
    const CngFunctions& cng = Cng();
    BCRYPT_ALG_HANDLE opened = nullptr;
    Check(cng.open_algorithm(&opened, algorithm, nullptr, 0));
    algorithm_.Reset(opened);
    // The hash object lives in memory of our own, as large as the algorithm says, as every
    // version of CNG accepts (letting CNG allocate it came with Windows 7).
    object_.resize(Property(BCRYPT_OBJECT_LENGTH));
    digest_length_ = Property(BCRYPT_HASH_LENGTH);
    BCRYPT_HASH_HANDLE created = nullptr;
    Check(cng.create_hash(algorithm_.Get(), &created, object_.data(),
                          static_cast<ULONG>(object_.size()), nullptr, 0, 0));
    hash_.Reset(created);
  }

  void Add(std::span<const std::byte> bytes) override {
    // One call takes at most what a ULONG counts.
    while (!bytes.empty()) {
      const auto count = static_cast<ULONG>(std::min<std::size_t>(bytes.size(), ULONG_MAX));
      // BCryptHashData does not change its input, though its declaration is not const.
      Check(Cng().hash_data(
          hash_.Get(), reinterpret_cast<PUCHAR>(const_cast<std::byte*>(bytes.data())), count, 0));
      bytes = bytes.subspan(count);
    }
  }

  std::vector<std::byte> Finish() override {
    std::vector<std::byte> digest(digest_length_);
    Check(
        Cng().finish_hash(hash_.Get(), reinterpret_cast<PUCHAR>(digest.data()), digest_length_, 0));
    return digest;
  }

 private:
  ULONG Property(const wchar_t* property) const {
    DWORD value = 0;
    ULONG written = 0;
    Check(Cng().get_property(algorithm_.Get(), property, reinterpret_cast<PUCHAR>(&value),
                             sizeof value, &written, 0));
    return value;
  }

  void Check(NTSTATUS status) const {
    if (status < 0) {
      throw IoError(std::string("Computing the ") + name_ + " checksum failed: CNG status " +
                    Hex(static_cast<ULONG>(status)));
    }
  }

  const char* name_;
  // Destroyed in reverse: the hash object, its memory, then the provider.
  UniqueAlgorithm algorithm_;
  std::vector<UCHAR> object_;
  ULONG digest_length_ = 0;
  UniqueHash hash_;
};

}  // namespace

std::unique_ptr<Digest> MakeMd5() {
  return std::make_unique<CngDigest>(BCRYPT_MD5_ALGORITHM, "MD5");
}

std::unique_ptr<Digest> MakeSha1() {
  return std::make_unique<CngDigest>(BCRYPT_SHA1_ALGORITHM, "SHA-1");
}

}  // namespace kelvore
