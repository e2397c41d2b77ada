#pragma once
#include <stdexcept>
#include <string>

// Why a data file is refused, as the person who gave it reads it: the
// file's name, the line (and column) and what is wrong there. Thrown
// inside the reader and caught where it returns.
class GridRefusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
