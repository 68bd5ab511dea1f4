#pragma once
// A fresh temporary folder per test, removed again afterwards, with small file helpers. Names are
// UTF-8, as the program's own paths are, on every system.
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>

namespace vornex::test {

class ScratchFolder {
public:
    ScratchFolder()
    {
        static std::atomic<unsigned> counter{0};
        std::mt19937_64 rng(
            static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()) +
            counter.fetch_add(1));
        const auto base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100; ++attempt) {
            auto candidate = base / ("vornex-test-" + std::to_string(rng() % 1000000000000ull));
            std::error_code ec;
            if (std::filesystem::create_directory(candidate, ec)) {
                m_path = candidate;
                return;
            }
        }
        throw std::runtime_error("cannot create a scratch folder");
    }
    ~ScratchFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder as FileLocation holds it: ending in the system's own separator.
    std::string folder() const { return utf8(m_path) + static_cast<char>(std::filesystem::path::preferred_separator); }
    std::string path(const std::string& name) const { return utf8(m_path / fromUtf8(name)); }

    void write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream out(m_path / fromUtf8(name), std::ios::binary);
        out << bytes;
    }
    std::string read(const std::string& name) const { return readPath(path(name)); }
    void copyFrom(const std::string& source, const std::string& name) const { write(name, readPath(source)); }

    static std::string readPath(const std::string& p)
    {
        std::ifstream in(fromUtf8(p), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    static std::filesystem::path fromUtf8(const std::string& s)
    {
        return std::filesystem::path(std::u8string(s.begin(), s.end()));
    }
    static std::string utf8(const std::filesystem::path& p)
    {
        const std::u8string s = p.u8string();
        return std::string(s.begin(), s.end());
    }

private:
    std::filesystem::path m_path;
};

} // namespace vornex::test
