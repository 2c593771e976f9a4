#pragma once

#include <string>
#include <vector>

#include "kelvore/disc/disc.h"
#include "kelvore/disc/layout.h"
#include "kelvore/tool/command_line.h"
#include "kelvore/tool/console.h"

namespace kelvore {

// What is about to be rebuilt: game code and name, source, file count, mode, options, output.
std::vector<std::string> SummaryLines(const Disc& disc, const RebuildRequest& request,
                                      const std::string& output_path);

// With option s: the files placed as streaming audio, each line shown as soon as it is made,
// so that the memory used stays small however many there are.
void ListStreamingAudio(Console& console, const Disc& disc, const Layout& layout,
                        const RebuildRequest& request);

}  // namespace kelvore
