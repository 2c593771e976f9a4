#pragma once

#include <functional>
#include <optional>
#include <string>

#include "kelvore/base/interruption.h"
#include "kelvore/disc/disc.h"
#include "kelvore/tool/command_line.h"
#include "kelvore/tool/console.h"
#include "kelvore/tool/dump_list.h"
#include "kelvore/tool/dump_verdict.h"
#include "kelvore/tool/game_folders.h"
#include "kelvore/tool/source_image.h"

namespace kelvore {

// What an inspection found, for a run's summary.
struct InspectionFindings {
  std::optional<DiscIdentity> disc = {};  // what the disc is, where its header was checked
  std::optional<DumpMatch> match = {};    // what the dump list says, where one was given
  std::string game = {};                  // the game the list names it by, if any
};

// --info, --hash and --dat: the disc report, then the image's checksums, then the verdict of
// `list` (where given) on the image, reading the image only, once. Returns the exit code: 0;
// 2 for an invalid image (with --info or a list), whose checksums are still shown when asked
// for and whose bytes are still looked up in the list; 4 for a valid image the list does not
// give as a dump; 3 for a read failure, an interruption, or an image that changed while its
// checksums were computed. `findings`, where given, learns what was found.
int RunInspection(const InspectRequest& request, const SourceOpener& open_source, Console& console,
                  const InterruptFlag& interrupted, const DumpList* list = nullptr,
                  InspectionFindings* findings = nullptr);

// Reads the dump list `request` names with --dat into `list`, once for all its images, and
// returns 0; without --dat, leaves `list` empty. A list that cannot be used gives 1 and one
// that cannot be read 3, said on `console`.
int LoadDumpListOf(const InspectRequest& request, Console& console, DumpList& list);

}  // namespace kelvore
