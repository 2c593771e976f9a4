#pragma once

#include <string_view>

namespace kelvore {

// Streaming audio tracks, which the drive plays directly from the disc, end in ".adp" or
// ".dtk" (any case).
bool IsStreamingAudioName(std::string_view name);

}  // namespace kelvore
