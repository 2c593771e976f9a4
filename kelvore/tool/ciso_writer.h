#pragma once

#include <cstdint>

#include "kelvore/disc/byte_source.h"
#include "kelvore/disc/image_plan.h"
#include "kelvore/tool/output_file.h"
#include "kelvore/tool/piece_chunks.h"

namespace kelvore {

// Writes the plan's image as a CISO file (see disc/ciso.h) of ciso::kBlockSize blocks, going
// through it once, in ascending order, chunk by chunk. A block is stored from the first of its
// bytes that is not zero, after the blocks stored before it; the zeros it holds elsewhere,
// past the image's end too, are left unwritten and read as zeros, so that every stored block
// is whole in the file, and a block of zeros is left out. The file first takes the size it
// would have if every block a piece touches were stored, so that a full disk or a file-size
// limit shows before any data is written; data goes to the storage window by window, as for
// a plain image. The header, which holds the map, is written last and the file shrunk to its
// final size, which it returns; the header and the size reach the storage with the caller's
// Flush.
std::uint64_t WriteCisoImage(const ImagePlan& plan, const ByteSource& source, OutputFile& output,
                             const TransferControl& control);

}  // namespace kelvore
