#include "kelvore/tool/inspection_job.h"

#include "kelvore/base/message_format.h"
#include "kelvore/disc/disc_reader.h"
#include "kelvore/tool/checksums.h"
#include "kelvore/tool/ciso_source.h"
#include "kelvore/tool/disc_report.h"
#include "kelvore/tool/exit_codes.h"
#include "kelvore/tool/progress_meter.h"

namespace kelvore {

namespace {

void ShowChecksums(Console& console, const SourceImage& source, const std::string& image_path,
                   const InterruptFlag& interrupted) {
  ImageChecksums sums;
  RunWithProgress(
      console, "Hashing", source.Size(), interrupted,
      [&](const TransferControl& control) { sums = ComputeChecksums(source, control); });
  console.Line("Checksums of " + Printable(image_path) + " (" + ByteCount(source.Size()) + "):");
  console.Line("  CRC32  " + sums.crc32);
  console.Line("  MD5    " + sums.md5);
  console.Line("  SHA-1  " + sums.sha1);
}

}  // namespace

int RunInspection(const InspectRequest& request, const SourceOpener& open_source, Console& console,
                  const InterruptFlag& interrupted) {
  return ExitCodeOf(console, [&] {
    const auto source = OpenImageOrCiso(open_source, request.image, console);
    if (request.info) {
      ShowDiscReport(console, ReadDisc(*source, interrupted), request.image, interrupted);
    }
    if (request.hash) ShowChecksums(console, *source, request.image, interrupted);
  });
}

}  // namespace kelvore
