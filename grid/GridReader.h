#pragma once
#include <filesystem>
#include <istream>
#include <memory>
#include <string>

#include "grid/HeightGrid.h"

// A grid read from a data file, or why the file is refused.
struct GridRead {
    std::shared_ptr<const HeightGrid> grid;  // null when refused
    // When refused: the file's name, the line, the column where it
    // helps, and what is wrong ("data.csv:37: 41 values, but the first
    // row has 40").
    std::string error;

    explicit operator bool() const { return grid != nullptr; }
};

// Reads a grid of heights, whole or not at all, in either layout:
//   a matrix: one row of heights a line, row i the i-th y and column j
//     the j-th x;
//   triples: x y z a line, in blocks parted by blank lines, each block a
//     line of the grid of constant x or of constant y.
// A file whose lines all hold three values is triples when blank lines
// part it into blocks, a matrix of three columns otherwise. name is how
// messages call the file.
GridRead readGrid(std::istream& in, const std::string& name);

// The same from a file, its name in messages being the file's name
// without its folder unless one is given.
GridRead readGridFile(const std::filesystem::path& path);
GridRead readGridFile(const std::filesystem::path& path, const std::string& name);
