#include "kelvore/tool/image_batch.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "kelvore/base/message_format.h"
#include "kelvore/disc/disc_encoding.h"
#include "kelvore/tool/exit_codes.h"

namespace kelvore {
namespace {

constexpr std::string_view kErrorPrefix = "Error: ";

// The summary's lines are built by appending, in few calls: a chain of + makes a temporary
// string of each step.
void AppendNumber(std::string& text, std::size_t number) { text += std::to_string(number); }

// The line of a game whose images are `game` (indices into `outcomes`): which images are
// which disc, up to the highest, and which discs below it no image is. Empty for a game whose
// images are all first discs.
std::string SetLine(const std::vector<ImageOutcome>& outcomes,
                    const std::vector<std::size_t>& game) {
  unsigned highest = 0;
  for (const std::size_t i : game) {
    highest = std::max<unsigned>(highest, outcomes[i].disc->disc_number);
  }
  if (highest == 0) return {};
  const DiscIdentity& first = *outcomes[game.front()].disc;
  std::string line = "  ";
  line += ShownText(first.id6, EncodingOfGameCode(first.id6));
  line += " \"";
  line += ShownTitle(first);
  line += '"';
  for (unsigned disc_number = 0; disc_number <= highest; ++disc_number) {
    line += disc_number == 0 ? ": disc " : "; disc ";
    AppendNumber(line, disc_number + 1);
    const char* before = ": image ";
    for (const std::size_t i : game) {
      if (outcomes[i].disc->disc_number != disc_number) continue;
      line += before;
      AppendNumber(line, i + 1);
      before = ", ";
    }
    if (*before == ':') line += ": missing";
  }
  return line;
}

// Whether an image came out well: done, or valid if not the dump a dump list gives.
bool CameOutWell(const ImageOutcome& outcome) {
  return outcome.exit_code == kExitDone || outcome.exit_code == kExitNotTheListedDump;
}

// The images whose disc was checked and that came out well form sets by their ID6, which
// holds the maker too: discs of different makers never pair, whatever their titles.
void ShowSets(Console& console, const std::vector<ImageOutcome>& outcomes) {
  std::vector<std::vector<std::size_t>> games;  // each game's images, in order of appearance
  for (std::size_t i = 0; i < outcomes.size(); ++i) {
    const std::optional<DiscIdentity>& disc = outcomes[i].disc;
    if (!disc || !CameOutWell(outcomes[i])) continue;
    std::size_t game = 0;
    while (game < games.size() && outcomes[games[game].front()].disc->id6 != disc->id6) ++game;
    if (game == games.size()) games.emplace_back();
    games[game].push_back(i);
  }
  const char* heading = "Two-disc sets:";
  for (const std::vector<std::size_t>& game : games) {
    const std::string line = SetLine(outcomes, game);
    if (line.empty()) continue;
    if (heading != nullptr) console.Line(heading);
    heading = nullptr;
    console.Line(line);
  }
}

// "Summary of 7 images: 5 rebuilt, 1 failed, 1 not done.", the statuses in the order they
// first came.
std::string CountsLine(const std::vector<ImageOutcome>& outcomes, std::size_t image_count) {
  std::string line = "Summary of ";
  line += CountOf(image_count, "image");
  const char* separator = ": ";
  for (std::size_t i = 0; i < outcomes.size(); ++i) {
    const std::string_view status = outcomes[i].status;
    const auto first = std::find_if(outcomes.begin(), outcomes.end(),
                                    [status](const ImageOutcome& o) { return o.status == status; });
    if (first != outcomes.begin() + static_cast<std::ptrdiff_t>(i)) continue;
    std::size_t count = 0;
    for (const ImageOutcome& other : outcomes) count += other.status == status;
    line += separator;
    AppendNumber(line, count);
    line += ' ';
    line += status;
    separator = ", ";
  }
  if (outcomes.size() < image_count) {
    line += separator;
    AppendNumber(line, image_count - outcomes.size());
    line += " not done";
  }
  line += '.';
  return line;
}

void ShowSummary(Console& console, const std::vector<NamedImage>& images,
                 const std::vector<ImageOutcome>& outcomes) {
  console.Line("");
  console.Line(CountsLine(outcomes, images.size()));
  for (std::size_t i = 0; i < images.size(); ++i) {
    std::string line = "  ";
    AppendNumber(line, i + 1);
    line += ". ";
    line += Printable(images[i].path);
    line += ": ";
    line += i < outcomes.size() ? std::string_view(outcomes[i].text)
                                : "not done, as the run was interrupted";
    console.Line(line);
  }
  ShowSets(console, outcomes);
}

ImageOutcome Refused(const NamedImage& entry, Console& console) {
  console.Error(Joined({kErrorPrefix, entry.error}));
  return {
      .exit_code = kExitIoFailure, .status = "failed", .text = Joined({"failed: ", entry.error})};
}

}  // namespace

void ErrorKeepingConsole::Error(std::string_view text) {
  if (first_error_.empty()) {
    first_error_ = text.starts_with(kErrorPrefix) ? text.substr(kErrorPrefix.size()) : text;
  }
  target_.Error(text);
}

int RunOverImages(const std::vector<NamedImage>& images, const ImageStep& step, Console& console,
                  const InterruptFlag& interrupted) {
  std::vector<ImageOutcome> outcomes;
  int exit_code = kExitDone;
  for (std::size_t i = 0; i < images.size() && !interrupted.load(); ++i) {
    if (i > 0) console.Line("");
    console.Line(Joined({"Image ", std::to_string(i + 1), " of ", std::to_string(images.size()),
                         ": ", Printable(images[i].path)}));
    outcomes.push_back(images[i].error.empty() ? step(images[i].path, console)
                                               : Refused(images[i], console));
    exit_code = WorseExitCode(exit_code, outcomes.back().exit_code);
  }
  ShowSummary(console, images, outcomes);
  return interrupted.load() ? WorseExitCode(exit_code, kExitIoFailure) : exit_code;
}

}  // namespace kelvore
