#include "kelvore/tool/rebuild_summary.h"

#include "kelvore/base/message_format.h"
#include "kelvore/disc/ciso.h"
#include "kelvore/disc/disc_encoding.h"
#include "kelvore/disc/disc_format.h"
#include "kelvore/disc/streaming_audio.h"
#include "kelvore/tool/option_letters.h"

namespace kelvore {
namespace {

std::string ModeLine(ImageMode mode) {
  const std::string size = GroupedDecimal(ImageSizeFor(mode));
  return mode == ImageMode::kStandard ? "f, a standard image of " + size + " bytes"
                                      : "g, a 3 GB image of " + size + " bytes";
}

std::string FormatLine(const RebuildRequest& request) {
  if (!request.ciso) return "plain, every byte of the image";
  return "CISO in blocks of " + GroupedDecimal(ciso::kBlockSize / 1024) +
         " KiB, those holding only zeros left out";
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
      "  Options: " + OptionsSummary(request.options),
      "  Format:  " + FormatLine(request),
      std::string("  Verify:  ") + (request.verify ? "yes, read back from the disk" : "no"),
      "  Output:  " + Printable(output_path),
  };
}

void NoteFullSizeImage(Console& console, const Disc& disc, const RebuildRequest& request) {
  if (disc.image_size != format::kStandardImageSize) return;
  console.Line("Note: this is already a full-size image; rebuilding it anyway with " +
               LettersTyped(request.mode, request.options) + ".");
}

std::size_t StreamingAudioOff32KiB(const Disc& disc, const Layout& layout) {
  if (!disc.audio_streaming) return 0;
  const std::vector<DiscFile>& files = disc.fst.Files();
  std::size_t count = 0;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (files[i].length != 0 && layout.file_offsets[i] % format::kBlockSize != 0 &&
        IsStreamingAudioName(disc.fst.NameOf(files[i].entry))) {
      ++count;
    }
  }
  return count;
}

void WarnOfStreamingAudioOff32KiB(Console& console, const Disc& disc, const Layout& layout) {
  const std::size_t count = StreamingAudioOff32KiB(disc, layout);
  if (count == 0) return;
  console.Line("Warning: this disc streams audio, and " + CountOf(count, "streaming audio file") +
               " would not start");
  console.Line("  on 32 KiB in the new image: the game may freeze when it plays " +
               std::string(count == 1 ? "it" : "them") + ". Option s");
  console.Line(
      "  (Corvane's \"S\" box) or t places streaming audio on 32 KiB. Rebuilding as asked.");
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
