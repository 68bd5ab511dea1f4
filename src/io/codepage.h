#pragma once
#include <string>
#include <string_view>

namespace vornex {

// Game files and the program's own tables are Windows-1252 text. Inside, the program holds UTF-8.

// Bytes of a file as UTF-8: a file that starts with the UTF-8 byte order mark is taken as UTF-8
// (the mark dropped, invalid sequences replaced by U+FFFD); any other file is Windows-1252.
std::string decodeFileText(std::string_view bytes);

// UTF-8 text as Windows-1252 bytes. Returns false in `lossless` when a character has no
// Windows-1252 form (such characters become '?').
std::string encodeWindows1252(std::string_view utf8, bool* lossless = nullptr);

// The bytes a file is written with: Windows-1252 when every character has a Windows-1252 form;
// otherwise UTF-8 behind a byte order mark, so that nothing typed by the user is lost (the readers
// accept both).
std::string encodeForFile(std::string_view utf8);

}  // namespace vornex
