#pragma once

#include <functional>
#include <memory>
#include <string>

#include "kelvore/base/interruption.h"
#include "kelvore/disc/disc.h"
#include "kelvore/tool/command_line.h"
#include "kelvore/tool/console.h"
#include "kelvore/tool/output_file.h"
#include "kelvore/tool/source_image.h"

namespace kelvore {

// The file operations a rebuild uses; the platform layer supplies the real ones.
struct RebuildServices {
  SourceOpener open_source;
  // Creates a new file, failing if anything exists under `path`.
  std::function<std::unique_ptr<OutputFile>(const std::string& path)> create_output;
  std::function<bool(const std::string& path)> path_exists;
};

// Decides where the new image goes once the image is checked, from what the disc is and the
// path the request alone gives; throws to refuse the image. A run over many images places
// each image so.
using OutputPlacer =
    std::function<std::string(const Disc& disc, const std::string& requested_output)>;

// Validates the image, plans the layout, writes OUTPUT.part and pushes it to the storage,
// reads it back from the storage to verify it unless asked not to, and renames it to OUTPUT.
// Returns the exit code (see exit_codes.h); on any failure before the naming, no output and
// no .part file is left behind. `request.image` is the image's full path; `place_output`,
// where given, decides OUTPUT.
int RunRebuild(const RebuildRequest& request, const RebuildServices& services, Console& console,
               const InterruptFlag& interrupted, const OutputPlacer& place_output = {});

}  // namespace kelvore
