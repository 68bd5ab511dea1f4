#pragma once
// Shared pieces of the fuzz targets: a scratch folder per process, file writing, and the settings
// and prompter the planet loader asks.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include <unistd.h>

#include "io/memorysettings.h"
#include "io/planetloader.h"

namespace vornex::fuzz {

// A folder that lives as long as the process, ending in '/'.
inline const std::string& scratchFolder()
{
    static const std::string folder = [] {
        char tmpl[] = "/tmp/vornex-fuzz-XXXXXX";
        if (!mkdtemp(tmpl)) std::abort();
        static std::string made;
        made = tmpl;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(made, ec);
        });
        return made + "/";
    }();
    return folder;
}

inline void writeBytes(const std::string& path, std::string_view bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
    std::fclose(f);
}

// A trap that turns a broken invariant into a crash libFuzzer saves.
#define VORNEX_FUZZ_CHECK(cond)                                                                                        \
    do {                                                                                                               \
        if (!(cond)) {                                                                                                 \
            std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", #cond, __FILE__, __LINE__);                         \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)

// Loads game "g" of the scratch folder as player 1, the way the window does.
inline Map loadScratchGame(Diagnostics& diags)
{
    Map planets;
    LoadPlanets(planets, Game{scratchFolder(), "g", playerNumberOf(1)}, diags);
    return planets;
}

} // namespace vornex::fuzz
