#include "kelvore/tool/batch_run.h"

#include <exception>
#include <type_traits>

#include "kelvore/base/errors.h"
#include "kelvore/base/message_format.h"
#include "kelvore/tool/exit_codes.h"
#include "kelvore/tool/game_folders.h"
#include "kelvore/tool/inspection_job.h"
#include "kelvore/tool/output_path.h"

namespace kelvore {
namespace {

// An image's place in the loaders' folders. Its game folder is created only when the new
// image is about to be written, and removed again when the image fails.
class GameFolderPlacement {
 public:
  GameFolderPlacement(std::string games_folder, bool ciso, const BatchServices& services)
      : games_folder_(std::move(games_folder)), ciso_(ciso), services_(services) {}

  // The new image's path: in the folder of the disc's game already there, or in a new one.
  std::string Place(const DiscIdentity& disc) {
    const std::string file_name = GameFileName(disc, ciso_);
    const auto existing = FindGameFolder(services_.words.folders.list(games_folder_), disc);
    const std::string folder = PathInFolder(games_folder_, existing.value_or(GameFolderName(disc)));
    const std::string path = PathInFolder(folder, file_name);
    if (existing && services_.files.path_exists(path)) {
      throw IoError(Printable(path) +
                    " is already there: the game folder holds this disc already (the same disc "
                    "given twice, or an earlier run's), and kelvore never replaces a file.");
    }
    if (!existing) new_folder_ = folder;
    return path;
  }

  void CreateFolderIfNew() {
    if (new_folder_.empty() || created_) return;
    services_.words.folders.create(new_folder_);
    created_ = true;
  }

  void RemoveFolderIfCreated(Console& console) {
    if (!created_) return;
    try {
      services_.words.folders.remove_empty(new_folder_);
      console.Error("The game folder " + Printable(new_folder_) + " made for it was removed.");
    } catch (const std::exception& error) {
      console.Error(std::string("The game folder made for it could not be removed: ") +
                    error.what());
    }
  }

 private:
  std::string games_folder_;
  bool ciso_;
  const BatchServices& services_;
  std::string new_folder_;
  bool created_ = false;
};

// Refuses a run whose -o or --games names no folder, before any image.
bool RequireFolder(const std::optional<std::string>& folder, const std::string& what,
                   const BatchServices& services, Console& console) {
  if (!folder || services.words.folders.is_folder(*folder)) return true;
  console.Error("Error: " + what + ", and " + Printable(*folder) +
                " is no folder: create it first, or name another.");
  return false;
}

}  // namespace

ImageOutcome RebuildImage(const std::string& image, Console& console, const RebuildRequest& each,
                          const std::optional<std::string>& games_folder,
                          const BatchServices& services, const InterruptFlag& interrupted) {
  RebuildRequest request = each;
  request.image = image;
  request.output.reset();
  std::optional<GameFolderPlacement> games;
  RebuildServices files = services.files;
  if (games_folder) {
    games.emplace(*games_folder, each.ciso, services);
    files.create_output = [&games, &services](const std::string& path) {
      games->CreateFolderIfNew();
      return services.files.create_output(path);
    };
  }
  ImageOutcome outcome;
  std::string output;
  const auto place = [&](const Disc& disc, const std::string& beside_image) {
    outcome.disc = IdentityOf(disc);
    output = games         ? games->Place(*outcome.disc)
             : each.output ? PathInFolder(*each.output, NameInPath(beside_image))
                           : beside_image;
    return output;
  };
  ErrorKeepingConsole kept(console);
  outcome.exit_code = RunRebuild(request, files, kept, interrupted, place);
  if (outcome.exit_code == kExitDone) {
    outcome.status = "rebuilt";
    outcome.text = "rebuilt to " + Printable(output);
    return outcome;
  }
  if (games) games->RemoveFolderIfCreated(kept);
  outcome.status = "failed";
  outcome.text = "failed: " + kept.FirstError();
  return outcome;
}

ImageOutcome ReportOnImage(const std::string& image, Console& console, const InspectRequest& each,
                           const BatchServices& services, const InterruptFlag& interrupted) {
  InspectRequest request = each;
  request.image = image;
  ImageOutcome outcome;
  ErrorKeepingConsole kept(console);
  outcome.exit_code =
      RunInspection(request, services.files.open_source, kept, interrupted,
                    [&outcome](const Disc& disc) { outcome.disc = IdentityOf(disc); });
  if (outcome.exit_code == kExitDone) {
    outcome.status = "reported";
    outcome.text = "reported";
  } else {
    outcome.status = outcome.exit_code == kExitImageRefused ? "invalid" : "failed";
    outcome.text = outcome.status + ": " + kept.FirstError();
  }
  return outcome;
}

int RunBatch(const BatchRequest& request, const BatchServices& services, Console& console,
             const InterruptFlag& interrupted) {
  const auto* rebuild = std::get_if<RebuildRequest>(&request.each);
  if (rebuild != nullptr &&
      (!RequireFolder(rebuild->output, "With several images, -o names the folder they go to",
                      services, console) ||
       !RequireFolder(request.games_folder, "--games names the folder the loaders read", services,
                      console))) {
    return kExitIoFailure;
  }
  const std::vector<NamedImage> images = ImagesNamedBy(request.images, services.words);
  const ImageStep step = [&](const std::string& image, Console& out) {
    if (rebuild != nullptr) {
      return RebuildImage(image, out, *rebuild, request.games_folder, services, interrupted);
    }
    return ReportOnImage(image, out, std::get<InspectRequest>(request.each), services, interrupted);
  };
  return RunOverImages(images, step, console, interrupted);
}

}  // namespace kelvore
