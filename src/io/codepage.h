#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vornex {

// Game files and the program's own tables are Windows-1252 text. Inside, the program holds UTF-8.

// Bytes of a file as UTF-8: a file that starts with the UTF-8 byte order mark is taken as UTF-8
// (the mark dropped, invalid sequences replaced by U+FFFD); any other file is Windows-1252.
std::string decodeFileText(std::string_view bytes);

// True when the bytes start with the UTF-8 byte order mark.
bool hasUtf8ByteOrderMark(std::string_view bytes);

// True when some byte is 0x80 or above (the text is not plain ASCII).
bool hasHighByte(std::string_view bytes);

// Windows-1252 bytes as UTF-8, byte by byte (no byte order mark is looked for): the decoding of a
// single field cut out of a Windows-1252 file.
std::string decodeWindows1252(std::string_view bytes);

// decodeWindows1252 written into out, which must hold 3 * bytes.size() bytes; returns the length.
size_t decodeWindows1252Into(std::string_view bytes, char* out);

// UTF-8 text as Windows-1252 bytes. Returns false in `lossless` when a character has no
// Windows-1252 form (such characters become '?').
std::string encodeWindows1252(std::string_view utf8, bool* lossless = nullptr);

// The bytes a file is written with: Windows-1252, always, so that every other copy of the program
// and every other reader sees the same bytes. A character with no Windows-1252 form cannot be
// written: nullopt, and *why names the character and the text it stands in.
std::optional<std::string> encodeForFile(std::string_view utf8, std::string* why = nullptr);

// True when the bytes look like UTF-16 text: a UTF-16 byte order mark, or the NUL byte beside
// every other byte that UTF-16 gives plain Latin letters. Only the start of the file is looked at.
bool looksLikeUtf16(std::string_view bytes);

} // namespace vornex
