#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "grid/HeightGrid.h"
#include "grid/ValueStore.h"

// Triples x y z in blocks, each block one line of the grid: x the same
// all through it (a line of constant x, y changing) or y the same. The
// first block gives the changing coordinate's values; every later block
// gives the same values in the same order. Within a block the changing
// coordinate rises or falls steadily, and so does the constant one from
// block to block; a value met twice breaks that, so every node is given
// once. A falling coordinate is kept as it is and read backwards.
//
// Rows come one at a time. While the rows might still be a matrix of
// three columns (before a second block starts), a fault in them is only
// remembered, and raised when the second block shows they are triples.
class TripleBlocks {
public:
    explicit TripleBlocks(const std::string& name) : name_(name) {}

    // A row of the first block, held by the caller meanwhile.
    void firstBlockRow(double x, double y, std::int64_t line);
    // The first block's rows are triples after all: their values, x y z
    // each, become the grid's first line. Throws the fault remembered.
    void adopt(ValueStore&& firstBlock, std::int64_t line);
    // A row of a later block.
    void row(double x, double y, double z, std::int64_t line, bool startsBlock);
    HeightGrid finish();

private:
    enum class Constant { X, Y };

    void fault(std::int64_t line, const std::string& what);
    [[noreturn]] void refuse(std::int64_t line, const std::string& what) const;
    std::string checkedCoordinates(double x, double y) const;
    std::string stepFault(double value, double before, int direction, const char* what,
                          const char* where) const;
    void startBlock(double constant, std::int64_t line);
    void endBlock() const;
    const char* constantName() const { return constant_ == Constant::X ? "x" : "y"; }
    const char* changingName() const { return constant_ == Constant::X ? "y" : "x"; }

    const std::string& name_;
    Constant constant_ = Constant::X;
    // The first block as it comes: its first point, the last changing
    // value, how many rows, the direction (+1 rising, -1 falling).
    double firstX_ = 0, firstY_ = 0, lastChanging_ = 0;
    std::int64_t firstRows_ = 0;
    int changingDirection_ = 0;
    std::optional<std::string> fault_;

    std::vector<double> changing_;   // of the first block
    std::vector<double> constants_;  // one a block
    int constantDirection_ = 0;
    ValueStore heights_;
    std::int64_t blockRows_ = 0;
    std::int64_t blockLine_ = 0;
};
