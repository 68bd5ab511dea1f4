#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace vornex {

// The form in which collection keys are compared: letter case is ignored for every letter that
// Windows-1252 has in both cases (UTF-8 text), so "Alpha", "ALPHA" and "alpha" are one key, and so
// are "Élan" and "élan", "Šar" and "šar", "Ÿ" and "ÿ".
std::string foldKey(std::string_view key);

// foldKey written into out, which must hold key.size() bytes (folding never changes the length).
void foldKeyInto(std::string_view key, char* out);

} // namespace vornex
