#include "kelvore/disc/disc_reader.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "kelvore/base/errors.h"
#include "kelvore/base/message_format.h"
#include "kelvore/disc/big_endian.h"
#include "kelvore/disc/disc_format.h"
#include "kelvore/disc/dol.h"

namespace kelvore {
namespace {

using namespace format;

// Text that ends at its first NUL, or after `limit` bytes.
std::string TextAt(std::span<const std::byte> header, std::size_t offset, std::size_t limit) {
  const char* begin = reinterpret_cast<const char*>(header.data()) + offset;
  return std::string(begin, strnlen(begin, limit));
}

// A code of fixed length, every byte of it: a NUL in it is damage to be shown, not an end.
std::string CodeAt(std::span<const std::byte> header, std::size_t offset, std::size_t length) {
  return std::string(reinterpret_cast<const char*>(header.data()) + offset, length);
}

// `what` spans [offset, offset + length); refuses it unless it lies within the image.
void RequireWithinImage(const std::string& what, std::uint64_t offset, std::uint64_t length,
                        std::uint64_t image_size) {
  if (offset + length <= image_size) return;
  throw ImageError(
      Joined({what, " (", ByteCount(length), " at ", Hex(offset),
              ") reaches past the end of the image, which is ", ByteCount(image_size), " long."}));
}

std::vector<std::byte> ReadHeader(const ByteSource& source) {
  if (source.Size() < kHeaderSize) {
    throw ImageError(Joined({"The image is ", ByteCount(source.Size()), " long, too short for the ",
                             GroupedDecimal(kHeaderSize), "-byte disc header."}));
  }
  std::vector<std::byte> header = ReadBytes(source, 0, kHeaderSize);
  const std::uint32_t magic = LoadBe32(header, kMagicOffset);
  if (magic != kMagicWord) {
    throw ImageError(
        Joined({"This is not a GameCube disc image: the magic word at ", Hex(kMagicOffset), " is ",
                Hex(magic), " instead of ", Hex(kMagicWord), "."}));
  }
  return header;
}

std::uint64_t ApploaderEnd(const ByteSource& source) {
  const std::uint64_t header_end = kApploaderOffset + kApploaderHeaderSize;
  if (source.Size() < header_end) {
    throw ImageError(
        Joined({"The image is ", ByteCount(source.Size()),
                " long, too short for the apploader header at ", Hex(kApploaderOffset), "."}));
  }
  const auto header = ReadBytes(source, kApploaderOffset, kApploaderHeaderSize);
  const std::uint64_t length = kApploaderHeaderSize +
                               std::uint64_t{LoadBe32(header, kApploaderCodeSizeField)} +
                               LoadBe32(header, kApploaderTrailerSizeField);
  RequireWithinImage("The apploader", kApploaderOffset, length, source.Size());
  return kApploaderOffset + length;
}

std::uint64_t CheckedDolLength(const ByteSource& source, std::uint32_t dol_offset) {
  RequireWithinImage("The DOL header", dol_offset, kDolHeaderSize, source.Size());
  const std::uint64_t length = DolLength(ReadBytes(source, dol_offset, kDolHeaderSize));
  RequireWithinImage("The DOL", dol_offset, length, source.Size());
  return length;
}

FileSystemTable ReadFst(const ByteSource& source, std::uint32_t fst_offset, std::uint32_t fst_size,
                        DiscEncoding encoding, const InterruptFlag& interrupted) {
  if (fst_size > kMaxFstSize) {
    throw ImageError(
        Joined({"The FST claims ", ByteCount(fst_size), ", far more than a GameCube can load (",
                GroupedDecimal(kMaxFstSize), " at most)."}));
  }
  RequireWithinImage("The FST", fst_offset, fst_size, source.Size());
  return FileSystemTable(ReadBytes(source, fst_offset, fst_size), encoding, interrupted);
}

// A file without data may point anywhere: there is nothing of it to be missing.
void CheckFileData(const FileSystemTable& fst, std::uint64_t image_size,
                   const InterruptFlag& interrupted) {
  for (const DiscFile& file : fst.Files()) {
    StopIfInterrupted(interrupted);
    if (file.length == 0 || std::uint64_t{file.offset} + file.length <= image_size) continue;
    throw ImageError(
        Joined({"The data of ", fst.PathOf(file.entry), " (", ByteCount(file.length), " at ",
                Hex(file.offset), ") reaches past the end of the image, which is ",
                ByteCount(image_size), " long: the dump is damaged."}));
  }
}

}  // namespace

Disc ReadDisc(const ByteSource& source, const InterruptFlag& interrupted) {
  const std::vector<std::byte> header = ReadHeader(source);
  const std::uint64_t apploader_end = ApploaderEnd(source);
  const std::uint32_t dol_offset = LoadBe32(header, kDolOffsetField);
  const std::uint64_t dol_length = CheckedDolLength(source, dol_offset);
  const std::uint32_t fst_offset = LoadBe32(header, kFstOffsetField);
  std::string game_code = CodeAt(header, kGameCodeOffset, kGameCodeLength);
  FileSystemTable fst = ReadFst(source, fst_offset, LoadBe32(header, kFstSizeField),
                                EncodingOfGameCode(game_code), interrupted);
  CheckFileData(fst, source.Size(), interrupted);

  return Disc{
      .game_code = std::move(game_code),
      .maker = CodeAt(header, kMakerOffset, kMakerLength),
      .game_name = TextAt(header, kGameNameOffset, kGameNameEnd - kGameNameOffset),
      .disc_number = std::to_integer<std::uint8_t>(header[kDiscNumberOffset]),
      .revision = std::to_integer<std::uint8_t>(header[kRevisionOffset]),
      .audio_streaming = header[kAudioStreamingOffset] != std::byte{0},
      .stream_buffer_size = std::to_integer<std::uint8_t>(header[kStreamBufferSizeOffset]),
      .region = LoadBe32(ReadBytes(source, kRegionOffset, 4), 0),
      .image_size = source.Size(),
      .apploader_end = apploader_end,
      .dol_offset = dol_offset,
      .dol_length = dol_length,
      .fst_offset = fst_offset,
      .fst = std::move(fst),
  };
}

}  // namespace kelvore
