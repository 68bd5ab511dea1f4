#pragma once
#include <stdexcept>
#include <string>

namespace vornex {

// A collection lookup named a position or key that is not there.
class NotFoundError : public std::out_of_range {
public:
    explicit NotFoundError(const std::string& what) : std::out_of_range(what) {}
};

// A collection was asked to add a key it already holds (letter case ignored).
class DuplicateKeyError : public std::invalid_argument {
public:
    explicit DuplicateKeyError(const std::string& what) : std::invalid_argument(what) {}
};

} // namespace vornex
