#include "kelvore/tool/checksums.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "kelvore/base/digest.h"
#include "kelvore/base/message_format.h"
#include "kelvore/tool/buffer_ring.h"

namespace kelvore {
namespace {

// The CRC32 of zip and of dump databases (zlib's), most significant digit first.
class Crc32 {
 public:
  void Add(std::span<const std::byte> bytes) {
    crc_ = crc32_z(crc_, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size());
  }

  std::string Hex() const {
    const auto crc = static_cast<std::uint32_t>(crc_);
    const std::byte digits[] = {std::byte(crc >> 24), std::byte(crc >> 16), std::byte(crc >> 8),
                                std::byte(crc)};
    return LowerHexDigits(digits);
  }

 private:
  uLong crc_ = crc32_z(0, Z_NULL, 0);
};

}  // namespace

// The chunks travel to MD5's thread through this many buffers, 8 MiB: either thread can go on
// for some milliseconds while the system gives the other one's core to other work (with 4
// buffers the checksums took 10 % longer on a busy machine).
constexpr std::uint32_t kChunkBuffers = 32;

// MD5 takes longest and gets the second thread to itself; this one reads and computes the
// other two, which together take less time.
ImageChecksums ComputeChecksums(const ByteSource& source, const TransferControl& control) {
  const auto md5 = MakeMd5();
  const auto sha1 = MakeSha1();
  Crc32 crc32;
  BufferRing md5_thread({.buffers = kChunkBuffers, .buffer_size = kChunkSize, .alignment = 1},
                        BufferRing::FirstHolder::kOwner,
                        [&md5](std::uint64_t, RingBuffer& chunk) { md5->Add(chunk.Data()); });
  for (std::uint64_t done = 0; done < source.Size();) {
    StopIfInterrupted(control.interrupted);
    RingBuffer& chunk = md5_thread.Take();
    chunk.length =
        static_cast<std::size_t>(std::min<std::uint64_t>(kChunkSize, source.Size() - done));
    source.ReadAt(done, chunk.Data());
    sha1->Add(chunk.Data());
    crc32.Add(chunk.Data());
    md5_thread.Give();
    done += chunk.length;
    control.progress(done);
  }
  md5_thread.TakeAllBack();
  return {crc32.Hex(), LowerHexDigits(md5->Finish()), LowerHexDigits(sha1->Finish())};
}

}  // namespace kelvore
