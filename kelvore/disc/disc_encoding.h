#pragma once

#include <string>
#include <string_view>

namespace kelvore {

// How a disc stores the text of its names: Japanese discs (region code J, the fourth
// character of the game code) in Shift-JIS, all others in Windows-1252.
enum class DiscEncoding { kWindows1252, kShiftJis };

DiscEncoding EncodingOfGameCode(std::string_view game_code);

// Text from the disc as the tool shows it, in UTF-8: decoded from `encoding`, with control
// characters and bytes that stand for no character written as \xHH, so that no name can
// move the cursor, clear the screen or pass for the tool's own output.
std::string ShownText(std::string_view raw, DiscEncoding encoding);

// The same text with its control characters left out instead, for names made from it.
std::string TextWithoutControls(std::string_view raw, DiscEncoding encoding);

}  // namespace kelvore
