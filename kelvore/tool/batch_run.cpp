#include "kelvore/tool/batch_run.h"

#include <exception>
#include <optional>

#include "kelvore/base/errors.h"
#include "kelvore/base/message_format.h"
#include "kelvore/tool/exit_codes.h"
#include "kelvore/tool/game_folders.h"
#include "kelvore/tool/inspection_job.h"
#include "kelvore/tool/output_path.h"

namespace kelvore {
namespace {

// An image's place in the loaders' folders: the folder of its game already there, or one
// made for it once the image is checked, which goes again if the image then fails.
class GameFolderPlacement {
 public:
  GameFolderPlacement(const std::string& games_folder, bool ciso, const BatchServices& services)
      : games_folder_(games_folder), ciso_(ciso), services_(services) {}

  // The new image's path.
  std::string Place(const DiscIdentity& disc) {
    const std::string file_name = GameFileName(disc, ciso_);
    const auto existing = FindGameFolder(services_.words.folders.list(games_folder_), disc);
    const std::string folder = PathInFolder(games_folder_, existing.value_or(GameFolderName(disc)));
    std::string path = PathInFolder(folder, file_name);
    if (!existing) {
      services_.words.folders.create(folder);
      made_folder_ = folder;
    } else if (services_.files.path_exists(path)) {
      throw IoError(
          Joined({Printable(path), " is already there, and kelvore never replaces a file."}));
    }
    return path;
  }

  void RemoveMadeFolder(Console& console) {
    if (made_folder_.empty()) return;
    try {
      services_.words.folders.remove_empty(made_folder_);
    } catch (const std::exception& error) {
      console.Error(error.what());
    }
  }

 private:
  const std::string& games_folder_;
  bool ciso_;
  const BatchServices& services_;
  std::string made_folder_;
};

// What the summary counts an image checked against a dump list as.
std::string_view StatusOf(DumpMatch match) {
  switch (match) {
    case DumpMatch::kListed:
      return "listed";
    case DumpMatch::kIdentified:
      return "identified but not the listed dump";
    case DumpMatch::kNotListed:
      break;
  }
  return "not in the list";
}

}  // namespace

ImageOutcome RebuildImage(const std::string& image, Console& console, const RebuildRequest& each,
                          const std::optional<std::string>& games_folder,
                          const BatchServices& services, const InterruptFlag& interrupted) {
  RebuildRequest request = each;
  request.image = image;
  request.output.reset();
  std::optional<GameFolderPlacement> games;
  if (games_folder) games.emplace(*games_folder, each.ciso, services);
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
  outcome.exit_code = RunRebuild(request, services.files, kept, interrupted, place);
  if (outcome.exit_code == kExitDone) {
    outcome.status = "rebuilt";
    outcome.text = "rebuilt to ";
    outcome.text += Printable(output);
    return outcome;
  }
  if (games) games->RemoveMadeFolder(kept);
  outcome.status = "failed";
  outcome.text = "failed: ";
  outcome.text += kept.FirstError();
  return outcome;
}

ImageOutcome ReportOnImage(const std::string& image, Console& console, const InspectRequest& each,
                           const BatchServices& services, const InterruptFlag& interrupted,
                           const DumpList* list) {
  InspectRequest request = each;
  request.image = image;
  ImageOutcome outcome;
  ErrorKeepingConsole kept(console);
  InspectionFindings found;
  outcome.exit_code =
      RunInspection(request, services.files.open_source, kept, interrupted, list, &found);
  outcome.disc = std::move(found.disc);
  if (found.match && outcome.exit_code != kExitImageRefused) {
    outcome.status = StatusOf(*found.match);
    outcome.text = found.game.empty()
                       ? std::string(outcome.status)
                       : Joined({outcome.status, ": \"", Printable(found.game), "\""});
  } else if (outcome.exit_code == kExitDone) {
    outcome.status = "reported";
    outcome.text = "reported";
  } else {
    outcome.status = outcome.exit_code == kExitImageRefused ? "invalid" : "failed";
    outcome.text = outcome.status;
    outcome.text += ": ";
    outcome.text += kept.FirstError();
  }
  return outcome;
}

int RunBatch(const BatchRequest& request, const BatchServices& services, Console& console,
             const InterruptFlag& interrupted) {
  const auto* rebuild = std::get_if<RebuildRequest>(&request.each);
  // The folders that -o (with several images) and --games name, before any image.
  for (const auto* folder :
       {rebuild != nullptr ? &rebuild->output : nullptr, &request.games_folder}) {
    if (folder == nullptr || !*folder || services.words.folders.is_folder(**folder)) continue;
    console.Error(Joined({"Error: ", Printable(**folder),
                          " is no folder; -o with several images, and --games, name an existing "
                          "one."}));
    return kExitIoFailure;
  }
  const auto* inspect = std::get_if<InspectRequest>(&request.each);
  DumpList list;
  if (inspect != nullptr) {
    if (const int loaded = LoadDumpListOf(*inspect, console, list); loaded != kExitDone) {
      return loaded;
    }
  }
  const DumpList* checked_against = inspect != nullptr && inspect->dump_list ? &list : nullptr;
  const std::vector<NamedImage> images = ImagesNamedBy(request.images, services.words);
  const ImageStep step = [&](const std::string& image, Console& out) {
    if (rebuild != nullptr) {
      return RebuildImage(image, out, *rebuild, request.games_folder, services, interrupted);
    }
    return ReportOnImage(image, out, *inspect, services, interrupted, checked_against);
  };
  return RunOverImages(images, step, console, interrupted);
}

}  // namespace kelvore
