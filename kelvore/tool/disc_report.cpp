#include "kelvore/tool/disc_report.h"

#include <cstddef>
#include <cstdint>

#include "kelvore/base/message_format.h"
#include "kelvore/disc/disc_encoding.h"
#include "kelvore/disc/disc_format.h"
#include "kelvore/disc/layout.h"
#include "kelvore/disc/region.h"
#include "kelvore/disc/streaming_audio.h"

namespace kelvore {
namespace {

// Where the report's values start.
constexpr std::size_t kValueColumn = 19;

std::string Field(std::string_view label, const std::string& value) {
  return Joined({LabelColumn(Joined({"  ", label, ":"}), kValueColumn), value});
}

std::string RegionLine(const Disc& disc) {
  const RegionCheck check = CheckRegion(disc.region, disc.game_code);
  const std::string region = RegionName(disc.region);
  if (!check.letter) return Joined({region, " (the game code is too short)"});
  const std::string letter = ShownText(std::string(1, *check.letter), DiscEncoding::kWindows1252);
  switch (check.result) {
    case RegionCheck::Result::kAgrees:
      return Joined({region, " (agrees with the game code's ", letter, ")"});
    case RegionCheck::Result::kDisagrees:
      return Joined({region, " (the game code's ", letter, " stands for ", check.expected, ")"});
    case RegionCheck::Result::kNotCompared:
      break;
  }
  return Joined({region, " (the game code's ", letter, " is not compared)"});
}

// The buffer size is shown wherever it is set, even on a disc that streams no audio.
std::string StreamingLine(const Disc& disc) {
  if (!disc.audio_streaming && disc.stream_buffer_size == 0) return "off";
  return Joined({disc.audio_streaming ? "on" : "off", ", stream buffer size ",
                 std::to_string(disc.stream_buffer_size)});
}

// A file without data lies on no boundary: there is nothing of it that could start off one.
std::string PlacementOf(const DiscFile& file) {
  if (file.length == 0) return "empty, no data to place";
  if (file.offset % format::kBlockSize == 0) return "on 32 KiB";
  return Joined({"not on 32 KiB (at ", Hex(file.offset), ")"});
}

// Wiped, good or oversize, as Corvane says, against the full disc's size.
std::string SizeLine(std::uint64_t size) {
  constexpr std::uint64_t kFull = format::kStandardImageSize;
  if (size == kFull) return Joined({ByteCount(size), ": good, a full disc"});
  return size < kFull ? Joined({ByteCount(size), ": wiped, ", ByteCount(kFull - size),
                                " short of a full disc"})
                      : Joined({ByteCount(size), ": oversize, ", ByteCount(size - kFull),
                                " more than a full disc"});
}

std::string ContentsLine(const Disc& disc) {
  std::uint64_t data = 0;
  for (const DiscFile& file : disc.fst.Files()) data += file.length;
  const std::uint64_t files = disc.fst.Files().size();
  const std::uint64_t folders = disc.fst.EntryCount() - 1 - files;
  return Joined({CountOf(files, "file"), " in ", CountOf(folders, "folder"), ", ", ByteCount(data),
                 " of file data"});
}

std::string Fit(const Disc& disc, ImageMode mode, LayoutOptions options,
                const InterruptFlag& interrupted) {
  const std::uint64_t end = PlannedDataEnd(disc, options, interrupted);
  const std::uint64_t size = ImageSizeFor(mode);
  return end <= size ? "yes" : Joined({"no, ", ByteCount(end - size), " too many"});
}

std::string FitLine(const Disc& disc, ImageMode mode, const InterruptFlag& interrupted) {
  return Joined({Fit(disc, mode, {}, interrupted),
                 "; with t: ", Fit(disc, mode, {.align_all_files = true}, interrupted)});
}

void ListStreamingAudioFiles(Console& console, const Disc& disc, const InterruptFlag& interrupted) {
  bool listed = false;
  for (const DiscFile& file : disc.fst.Files()) {
    StopIfInterrupted(interrupted);
    if (!IsStreamingAudioName(disc.fst.NameOf(file.entry))) continue;
    if (!listed) console.Line("Streaming audio files:");
    listed = true;
    console.Line(Joined({"  ", disc.fst.PathOf(file.entry), "  ", PlacementOf(file)}));
  }
  if (!listed) console.Line("No streaming audio files (.adp, .dtk).");
}

}  // namespace

void ShowDiscReport(Console& console, const Disc& disc, const std::string& image_path,
                    const InterruptFlag& interrupted) {
  const DiscEncoding encoding = EncodingOfGameCode(disc.game_code);
  console.Line(Joined({"Disc report for ", Printable(image_path)}));
  console.Line(Field("Game code", ShownText(disc.game_code, encoding)));
  console.Line(Field("Maker", ShownText(disc.maker, encoding)));
  console.Line(Field("Title", ShownText(disc.game_name, encoding)));
  console.Line(Field("Disc", std::to_string(disc.disc_number + 1)));
  console.Line(Field("Revision", std::to_string(disc.revision)));
  console.Line(Field("Region", RegionLine(disc)));
  console.Line(Field("Audio streaming", StreamingLine(disc)));
  console.Line(Field("Size", SizeLine(disc.image_size)));
  console.Line(Field("Contents", ContentsLine(disc)));
  console.Line(Field("Fits f", FitLine(disc, ImageMode::kStandard, interrupted)));
  console.Line(Field("Fits g", FitLine(disc, ImageMode::kLarge, interrupted)));
  ListStreamingAudioFiles(console, disc, interrupted);
}

}  // namespace kelvore
