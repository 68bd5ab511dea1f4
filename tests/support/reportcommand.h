#pragma once
// The real report program's command line for the shell: each argument quoted (single quotes, or
// double quotes for the Windows command interpreter).
#include <string>
#include <vector>

namespace vornex::test {

inline std::string shellQuote()
{
#ifdef _WIN32
    return "\"";
#else
    return "'";
#endif
}

inline std::string reportCommand(const std::vector<std::string>& args)
{
    const std::string q = shellQuote();
    std::string cmd = q + VORNEX_REPORT_EXE + q;
    for (std::string a : args) {
#ifdef _WIN32
        // A backslash before the closing quote would escape it: double it.
        if (!a.empty() && a.back() == '\\') a += '\\';
#endif
        cmd += " " + q + a + q;
    }
    return cmd;
}

} // namespace vornex::test
