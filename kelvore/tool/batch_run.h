#pragma once

#include "kelvore/base/interruption.h"
#include "kelvore/tool/command_line.h"
#include "kelvore/tool/console.h"
#include "kelvore/tool/dump_list.h"
#include "kelvore/tool/image_batch.h"
#include "kelvore/tool/image_words.h"
#include "kelvore/tool/rebuild_job.h"

namespace kelvore {

// What a run over many images uses: the files of a rebuild, also to open images for reports,
// and the reading of IMAGE words with its folder operations.
struct BatchServices {
  RebuildServices files;
  ImageWordReading words;
};

// Rebuilds one image as `each` says: beside it, into the folder -o names, or with
// `games_folder` into the loaders' folders (see game_folders.h), where a game folder made
// for the image once it is checked is removed again if the image fails. A disc that is neither a
// game's first nor its second has no place there (exit 2), and a name already taken fails the image
// (exit 3), replacing nothing.
ImageOutcome RebuildImage(const std::string& image, Console& console, const RebuildRequest& each,
                          const std::optional<std::string>& games_folder,
                          const BatchServices& services, const InterruptFlag& interrupted);

// Reports on one image as `each` says (--info, --hash or both), and checks it against `list`
// where given: the summary then says whether it is listed, identified but not the listed
// dump, or not in the list.
ImageOutcome ReportOnImage(const std::string& image, Console& console, const InspectRequest& each,
                           const BatchServices& services, const InterruptFlag& interrupted,
                           const DumpList* list = nullptr);

// The run `request` asks for: its words read into images (see ImagesNamedBy), then each image
// rebuilt or reported on in turn (see RunOverImages). -o and --games must name existing
// folders, and the dump list of --dat is read, once, before any image (exit 3 otherwise, or
// 1 for a list that cannot be used). Returns the run's exit code. Paths
// are taken as given: the caller makes them absolute.
int RunBatch(const BatchRequest& request, const BatchServices& services, Console& console,
             const InterruptFlag& interrupted);

}  // namespace kelvore
