#include "kelvore/tool/rebuild_job.h"

#include "kelvore/base/errors.h"
#include "kelvore/base/message_format.h"
#include "kelvore/disc/disc_format.h"
#include "kelvore/disc/disc_reader.h"
#include "kelvore/disc/image_plan.h"
#include "kelvore/disc/layout.h"
#include "kelvore/tool/ciso_source.h"
#include "kelvore/tool/ciso_verifier.h"
#include "kelvore/tool/ciso_writer.h"
#include "kelvore/tool/exit_codes.h"
#include "kelvore/tool/image_verifier.h"
#include "kelvore/tool/image_writer.h"
#include "kelvore/tool/output_path.h"
#include "kelvore/tool/progress_meter.h"
#include "kelvore/tool/rebuild_summary.h"

namespace kelvore {
namespace {

// The output and its unfinished name must be free, and neither may be the source itself
// under another name.
void RequireOutputFree(const SourceImage& source, const std::string& output_path,
                       const RebuildServices& services) {
  const std::string part_path = PartPathFor(output_path);
  if (source.IsFileAt(output_path)) throw IoError(OutputIsSourceMessage(output_path, false));
  if (source.IsFileAt(part_path)) throw IoError(OutputIsSourceMessage(part_path, true));
  if (services.path_exists(output_path)) throw IoError(OutputExistsMessage(output_path));
}

std::string SourceChangedMessage(const std::string& image_path) {
  return "The source image " + Printable(image_path) +
         " changed while it was read (its size, last-write time or status-change time is not "
         "what it was), so the new image might not hold what the source holds now. Rebuild it "
         "again once nothing writes to it.";
}

struct Rebuilding {
  const RebuildRequest& request;
  Console& console;
  const InterruptFlag& interrupted;
  const SourceImage& source;
  const ImagePlan& plan;
};

// Writes the image, plain or as a CISO file, and pushes it to the storage; reads it back from
// there to compare unless asked not to. Returns the file's size.
std::uint64_t WriteAndVerify(const Rebuilding& job, OutputFile& output) {
  std::uint64_t file_size = job.plan.ImageSize();
  RunWithProgress(job.console, "Writing", job.plan.DataBytes(), job.interrupted,
                  [&](const TransferControl& control) {
                    if (job.request.ciso) {
                      file_size = WriteCisoImage(job.plan, job.source, output, control);
                    } else {
                      WriteImage(job.plan, job.source, output, control);
                    }
                  });
  job.console.Progress("Saving to the disk ...");
  output.Flush();
  if (!job.request.verify) return file_size;
  const auto reader = output.OpenReadBack();
  if (!reader->BypassesCache()) {
    job.console.Line("Note: the read-back is best effort here: the system may answer it from a");
    job.console.Line("  copy of the image in memory rather than from the disk.");
  }
  RunWithProgress(job.console, "Verifying", job.plan.ImageSize(), job.interrupted,
                  [&](const TransferControl& control) {
                    if (job.request.ciso) {
                      VerifyCisoImage(job.plan, job.source, *reader, control);
                    } else {
                      VerifyImage(job.plan, job.source, *reader, control);
                    }
                  });
  return file_size;
}

// A source that changed while it was read is what a failure, or even a success, is about.
std::uint64_t WriteAndVerifyUnchangedSource(const Rebuilding& job, OutputFile& output) {
  std::uint64_t file_size = 0;
  try {
    file_size = WriteAndVerify(job, output);
  } catch (const IoError&) {
    const bool interrupted = job.interrupted.load();
    if (!interrupted && job.source.ChangedSinceOpened()) {
      throw IoError(SourceChangedMessage(job.request.image));
    }
    throw;
  }
  if (job.source.ChangedSinceOpened()) throw IoError(SourceChangedMessage(job.request.image));
  return file_size;
}

// "1,459,978,240 bytes", or for a CISO file its size and the image's.
std::string DoneSizes(const RebuildRequest& request, std::uint64_t file_size,
                      std::uint64_t image_size) {
  if (!request.ciso) return ByteCount(image_size);
  std::string sizes = ByteCount(file_size);
  sizes += ", a CISO of the ";
  sizes += GroupedDecimal(image_size);
  sizes += "-byte image";
  return sizes;
}

void Rebuild(const RebuildRequest& request, const RebuildServices& services, Console& console,
             const InterruptFlag& interrupted, const OutputPlacer& place_output,
             bool& output_started) {
  const auto source = OpenImageOrCiso(services.open_source, request.image, console);
  const Disc disc = ReadDisc(*source, interrupted);
  std::string output_path =
      request.output.value_or(DefaultOutputPath(request.image, request.ciso ? ".ciso" : ".gcm"));
  if (place_output) output_path = place_output(disc, output_path);
  for (const std::string& line : SummaryLines(disc, request, output_path)) console.Line(line);
  NoteFullSizeImage(console, disc, request);

  const Layout layout = PlanLayout(disc, request.mode, request.options, interrupted);
  ListStreamingAudio(console, disc, layout, request);
  WarnOfStreamingAudioOff32KiB(console, disc, layout);
  RequireOutputFree(*source, output_path, services);

  const ImagePlan plan(disc, layout, ReadBytes(*source, 0, format::kHeaderSize));
  const auto output = services.create_output(PartPathFor(output_path));
  output_started = true;
  const std::uint64_t file_size =
      WriteAndVerifyUnchangedSource({request, console, interrupted, *source, plan}, *output);
  StopIfInterrupted(interrupted);
  output->CommitAs(output_path);
  console.Line("Done: " + Printable(output_path) + " (" +
               DoneSizes(request, file_size, plan.ImageSize()) + ").");
}

}  // namespace

int RunRebuild(const RebuildRequest& request, const RebuildServices& services, Console& console,
               const InterruptFlag& interrupted, const OutputPlacer& place_output) {
  bool output_started = false;
  return ExitCodeOf(
      console,
      [&] { Rebuild(request, services, console, interrupted, place_output, output_started); },
      [&] {
        if (output_started) console.Error("The unfinished image was removed.");
      });
}

}  // namespace kelvore
