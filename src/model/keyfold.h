#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace vornex {

// The form in which collection keys are compared: letter case is ignored for ASCII letters and
// for the accented Latin-1 letters (UTF-8 text), so "Alpha", "ALPHA" and "alpha" are one key, and
// so are "Élan" and "élan".
std::string foldKey(std::string_view key);

// foldKey written into out, which must hold key.size() bytes (folding never changes the length).
void foldKeyInto(std::string_view key, char* out);

}  // namespace vornex
