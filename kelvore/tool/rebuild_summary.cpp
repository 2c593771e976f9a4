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
  return Joined({mode == ImageMode::kStandard ? "f, a standard image of " : "g, a 3 GB image of ",
                 GroupedDecimal(ImageSizeFor(mode)), " bytes"});
}

std::string FormatLine(const RebuildRequest& request) {
  if (!request.ciso) return "plain, every byte of the image";
  return Joined({"CISO in blocks of ", GroupedDecimal(ciso::kBlockSize / 1024),
                 " KiB, those holding only zeros left out"});
}

}  // namespace

std::vector<std::string> SummaryLines(const Disc& disc, const RebuildRequest& request,
                                      const std::string& output_path) {
  const DiscEncoding encoding = EncodingOfGameCode(disc.game_code);
  return {
      Joined({"Rebuilding ", ShownText(disc.game_code + disc.maker, encoding), " \"",
              ShownText(disc.game_name, encoding), "\""}),
      Joined({"  Source:  ", Printable(request.image), " (", ByteCount(disc.image_size), ", ",
              CountOf(disc.fst.Files().size(), "file"), ")"}),
      Joined({"  Mode:    ", ModeLine(request.mode)}),
      Joined({"  Options: ", OptionsSummary(request.options)}),
      Joined({"  Format:  ", FormatLine(request)}),
      Joined({"  Verify:  ", request.verify ? "yes, read back from the disk" : "no"}),
      Joined({"  Output:  ", Printable(output_path)}),
  };
}

void NoteFullSizeImage(Console& console, const Disc& disc, const RebuildRequest& request) {
  if (disc.image_size != format::kStandardImageSize) return;
  console.Line(Joined({"Note: this is already a full-size image; rebuilding it anyway with ",
                       LettersTyped(request.mode, request.options), "."}));
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
  console.Line(Joined({"Warning: this disc streams audio, and ",
                       CountOf(count, "streaming audio file"), " would not start"}));
  console.Line(Joined({"  on 32 KiB in the new image: the game may freeze when it plays ",
                       count == 1 ? "it" : "them", ". Option s"}));
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
    console.Line(Joined({"  ", disc.fst.PathOf(entry)}));
  }
}

}  // namespace kelvore
