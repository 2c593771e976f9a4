#pragma once

#include <cstdint>
#include <string_view>

// What Corvane and its rebuild tool kelvore agree on: the size of a full disc image and the
// letters of the tool's command line, `kelvore IMAGE MODE [ALIGN] [STREAM]`.
namespace corvane::rebuild {

// The length of a complete GameCube disc image, which a rebuild in the standard mode writes.
inline constexpr std::int32_t kFullImageSize = 1'459'978'240;

// MODE: a full-size image, or a 3 GB one with the files at the disc's outer edge.
inline constexpr std::string_view kStandardMode = "f";
inline constexpr std::string_view kLargeMode = "g";

// Every file on 32 KiB; streaming audio on whole 32 KiB blocks of its own.
inline constexpr std::string_view kAlignOption = "t";
inline constexpr std::string_view kStreamOption = "s";

}  // namespace corvane::rebuild
