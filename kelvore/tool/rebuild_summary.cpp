#include "kelvore/tool/rebuild_summary.h"

#include "kelvore/disc/disc_text.h"
#include "kelvore/disc/text_format.h"

namespace kelvore {
namespace {

std::string ModeLine(ImageMode mode) {
  const std::string size = GroupedDecimal(ImageSizeFor(mode));
  return mode == ImageMode::kStandard ? "f, a standard image of " + size + " bytes"
                                      : "g, a 3 GB image of " + size + " bytes";
}

std::string OptionsLine(LayoutOptions options) {
  std::string line;
  if (options.align_all_files) line += "t (every file on 32 KiB)";
  if (options.isolate_streaming_audio) {
    if (!line.empty()) line += ", ";
    line += "s (streaming audio on whole 32 KiB blocks)";
  }
  return line.empty() ? "none" : line;
}

}  // namespace

std::vector<std::string> SummaryLines(const Disc& disc, const RebuildRequest& request,
                                      const std::string& output_path) {
  const DiscEncoding encoding = EncodingOfGameCode(disc.game_code);
  return {
      "Rebuilding " + ShownText(disc.game_code + disc.maker, encoding) + " \"" +
          ShownText(disc.game_name, encoding) + "\"",
      "  Source:  " + Printable(request.image) + " (" + ByteCount(disc.image_size) + ", " +
          CountOf(disc.fst.Files().size(), "file") + ")",
      "  Mode:    " + ModeLine(request.mode),
      "  Options: " + OptionsLine(request.options),
      std::string("  Verify:  ") + (request.verify ? "yes, read back from the disk" : "no"),
      "  Output:  " + Printable(output_path),
  };
}

void ListStreamingAudio(Console& console, const Disc& disc, const Layout& layout,
                        const RebuildRequest& request) {
  if (!request.options.isolate_streaming_audio) return;
  if (layout.streaming_audio_entries.empty()) {
    return console.Line("No streaming audio files (.adp, .dtk) on this disc.");
  }
  console.Line("Streaming audio files placed on whole 32 KiB blocks:");
  for (std::uint32_t entry : layout.streaming_audio_entries) {
    console.Line("  " + disc.fst.PathOf(entry));
  }
}

}  // namespace kelvore
