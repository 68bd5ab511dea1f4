#include "io/diagnostics.h"

namespace vornex {

std::string Diagnostic::text() const
{
    if (line <= 0 || moreLines > 0) return file + ": " + reason;
    return file + ":" + std::to_string(line) + ": " + reason;
}

std::string_view Diagnostic::cause() const
{
    const std::string_view r = reason;
    return r.substr(0, r.find(" \xE2\x80\x94 "));
}

void LineNotes::add(int64_t line, std::string reason)
{
    if (!full()) {
        m_diags.push_back({m_file, line, std::move(reason)});
        ++m_listed;
        return;
    }
    if (m_unlisted++ == 0) m_firstUnlisted = line;
}

void LineNotes::addGathered(Diagnostics gathered, int64_t lineOffset)
{
    for (Diagnostic& d : gathered) {
        d.line += lineOffset;
        if (d.moreLines == 0) {
            add(d.line, std::move(d.reason));
            continue;
        }
        // Lines only counted there come after as many listed ones as this list takes: they are
        // only counted here too.
        if (m_unlisted == 0) m_firstUnlisted = d.line;
        m_unlisted += d.moreLines;
    }
}

void LineNotes::finish()
{
    if (m_unlisted == 0) return;
    const std::string lines = m_unlisted == 1 ? " more line rejected" : " more lines rejected";
    m_diags.push_back({m_file, m_firstUnlisted, "and " + groupedNumber(m_unlisted) + lines, m_unlisted});
    m_unlisted = 0;
}

std::string groupedNumber(int64_t n)
{
    std::string digits = std::to_string(n);
    const size_t start = n < 0 ? 1 : 0;
    for (size_t i = digits.size(); i > start + 3; i -= 3)
        digits.insert(i - 3, 1, ',');
    return digits;
}

} // namespace vornex
