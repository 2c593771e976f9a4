#include "kelvore/tool/inspection_job.h"

#include "kelvore/base/errors.h"
#include "kelvore/base/message_format.h"
#include "kelvore/disc/disc_reader.h"
#include "kelvore/tool/checksums.h"
#include "kelvore/tool/ciso_source.h"
#include "kelvore/tool/disc_report.h"
#include "kelvore/tool/dump_verdict.h"
#include "kelvore/tool/exit_codes.h"
#include "kelvore/tool/progress_meter.h"

namespace kelvore {

namespace {

std::string ChangedWhileHashedMessage(const std::string& image_path) {
  return Joined({"The image ", Printable(image_path),
                 " changed while it was read (its size, last-write time or status-change time "
                 "is not what it was), so its checksums are not shown. Hash it again once "
                 "nothing writes to it."});
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

ImageChecksums HashWithProgress(Console& console, const SourceImage& source,
                                const std::string& image_path, const InterruptFlag& interrupted) {
  ImageChecksums sums;
  RunWithProgress(console, "Hashing", source.Size(), interrupted,
                  [&](const TransferControl& control) {
                    sums = ChecksumsOfUnchanged(source, image_path, control);
                  });
  return sums;
}

void ShowChecksums(Console& console, const ImageChecksums& sums, std::uint64_t size,
                   const std::string& image_path) {
  console.Line(Joined({"Checksums of ", Printable(image_path), " (", ByteCount(size), "):"}));
  console.Line(Joined({"  CRC32  ", sums.crc32}));
  console.Line(Joined({"  MD5    ", sums.md5}));
  console.Line(Joined({"  SHA-1  ", sums.sha1}));
}

// The verdict on the image whose facts are `image` (without a game code where its header
// was refused); returns its exit code.
int ShowVerdict(Console& console, const DumpList& list, const ImageFacts& image,
                InspectionFindings& findings) {
  DumpVerdict verdict = JudgeImage(list, image);
  for (const std::string& line : verdict.lines) console.Line(line);
  findings.match = verdict.match;
  findings.game = std::move(verdict.game);
  return verdict.Listed() ? kExitDone : kExitNotTheListedDump;
}

}  // namespace

int LoadDumpListOf(const InspectRequest& request, Console& console, DumpList& list) {
  if (!request.dump_list) return kExitDone;
  return ExitCodeOf(console, [&] { list = LoadDumpList(*request.dump_list); });
}

// An invalid image still has checksums, and they are what tells a damaged dump from a good
// one in a dump list: the report's refusal does not keep them from being shown.
int RunInspection(const InspectRequest& request, const SourceOpener& open_source, Console& console,
                  const InterruptFlag& interrupted, const DumpList* list,
                  InspectionFindings* findings) {
  InspectionFindings unused;
  InspectionFindings& found = findings != nullptr ? *findings : unused;
  std::unique_ptr<SourceImage> source;
  const int opened =
      ExitCodeOf(console, [&] { source = OpenImageOrCiso(open_source, request.image, console); });
  if (opened != kExitDone) return opened;
  // What a dump list is matched with: an invalid image keeps no game code, and is matched by
  // its bytes alone.
  ImageFacts facts{.size = source->Size()};
  const bool read_disc = request.info || list != nullptr;
  const int reported = !read_disc ? kExitDone : ExitCodeOf(console, [&] {
    const Disc disc = ReadDisc(*source, interrupted);
    if (request.info) ShowDiscReport(console, disc, request.image, interrupted);
    facts = FactsOf(disc, {});
    found.disc = IdentityOf(disc);
  });
  const bool hash = request.hash || list != nullptr;
  if (!hash || (reported != kExitDone && reported != kExitImageRefused)) return reported;
  const int hashed = ExitCodeOf(console, [&] {
    facts.checksums = HashWithProgress(console, *source, request.image, interrupted);
  });
  if (hashed != kExitDone) return hashed;
  if (request.hash) ShowChecksums(console, facts.checksums, facts.size, request.image);
  if (list == nullptr) return reported;
  const int judged = ShowVerdict(console, *list, facts, found);
  if (reported == kExitImageRefused && judged == kExitDone) {
    console.Line("The listed dump itself fails kelvore's checks, so it stays refused.");
  }
  return WorseExitCode(reported, judged);
}

}  // namespace kelvore
