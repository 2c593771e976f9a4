#pragma once

#include <cstddef>
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

// Says so when the image already has the full size: a rebuild then changes only where the
// files lie.
void NoteFullSizeImage(Console& console, const Disc& disc, const RebuildRequest& request);

// How many streaming audio files with data `layout` does not start on 32 KiB, on a disc
// whose header says it streams audio; 0 on a disc that does not.
std::size_t StreamingAudioOff32KiB(const Disc& disc, const Layout& layout);

// Warns of a rebuild that leaves streaming audio off 32 KiB, which can freeze the game.
void WarnOfStreamingAudioOff32KiB(Console& console, const Disc& disc, const Layout& layout);

// With option s: the files placed as streaming audio, each line shown as soon as it is made,
// so that the memory used stays small however many there are.
void ListStreamingAudio(Console& console, const Disc& disc, const Layout& layout,
                        const RebuildRequest& request);

}  // namespace kelvore
