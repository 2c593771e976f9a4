#include "kelvore/tool/inspection_job.h"

#include "kelvore/base/errors.h"
#include "kelvore/base/message_format.h"
#include "kelvore/disc/disc_reader.h"
#include "kelvore/tool/checksums.h"
#include "kelvore/tool/ciso_source.h"
#include "kelvore/tool/disc_report.h"
#include "kelvore/tool/exit_codes.h"
#include "kelvore/tool/progress_meter.h"

namespace kelvore {

namespace {

std::string ChangedWhileHashedMessage(const std::string& image_path) {
  return "The image " + Printable(image_path) +
         " changed while it was read (its size, last-write time or status-change time is not "
         "what it was), so its checksums are not shown. Hash it again once nothing writes to "
         "it.";
}

// The sums are shown only if the source stayed as it was while they were computed; a
// source that changed is also what a reading failure is about.
ImageChecksums ChecksumsOfUnchanged(const SourceImage& source, const std::string& image_path,
                                    const TransferControl& control) {
  ImageChecksums sums;
  try {
    sums = ComputeChecksums(source, control);
  } catch (const IoError&) {
    if (!control.interrupted.load() && source.ChangedSinceOpened()) {
      throw IoError(ChangedWhileHashedMessage(image_path));
    }
    throw;
  }
  if (source.ChangedSinceOpened()) throw IoError(ChangedWhileHashedMessage(image_path));
  return sums;
}

void ShowChecksums(Console& console, const SourceImage& source, const std::string& image_path,
                   const InterruptFlag& interrupted) {
  ImageChecksums sums;
  RunWithProgress(console, "Hashing", source.Size(), interrupted,
                  [&](const TransferControl& control) {
                    sums = ChecksumsOfUnchanged(source, image_path, control);
                  });
  console.Line("Checksums of " + Printable(image_path) + " (" + ByteCount(source.Size()) + "):");
  console.Line("  CRC32  " + sums.crc32);
  console.Line("  MD5    " + sums.md5);
  console.Line("  SHA-1  " + sums.sha1);
}

}  // namespace

// An invalid image still has checksums, and they are what tells a damaged dump from a good
// one in a dump list: the report's refusal does not keep them from being shown.
int RunInspection(const InspectRequest& request, const SourceOpener& open_source, Console& console,
                  const InterruptFlag& interrupted,
                  const std::function<void(const Disc&)>& on_disc) {
  std::unique_ptr<SourceImage> source;
  const int opened =
      ExitCodeOf(console, [&] { source = OpenImageOrCiso(open_source, request.image, console); });
  if (opened != kExitDone) return opened;
  const int reported = !request.info ? kExitDone : ExitCodeOf(console, [&] {
    const Disc disc = ReadDisc(*source, interrupted);
    ShowDiscReport(console, disc, request.image, interrupted);
    if (on_disc) on_disc(disc);
  });
  if (!request.hash || (reported != kExitDone && reported != kExitImageRefused)) return reported;
  const int hashed =
      ExitCodeOf(console, [&] { ShowChecksums(console, *source, request.image, interrupted); });
  return hashed != kExitDone ? hashed : reported;
}

}  // namespace kelvore
