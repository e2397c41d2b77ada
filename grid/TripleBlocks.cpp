#include "grid/TripleBlocks.h"

#include <algorithm>
#include <cmath>

#include "grid/GridLimits.h"
#include "grid/GridRefusal.h"
#include "grid/ShortestText.h"

namespace {

int directionOf(double from, double to) { return to > from ? 1 : to < from ? -1 : 0; }

} // namespace

void TripleBlocks::refuse(std::int64_t line, const std::string& what) const
{
    throw GridRefusal(name_ + ":" + std::to_string(line) + ": " + what);
}

void TripleBlocks::fault(std::int64_t line, const std::string& what)
{
    if (!fault_)
        fault_ = name_ + ":" + std::to_string(line) + ": " + what;
}

std::string TripleBlocks::checkedCoordinates(double x, double y) const
{
    if (std::isnan(x) || std::isnan(y))
        return std::string(std::isnan(x) ? "x" : "y") + " is missing: only heights may be";
    return {};
}

// The fault of a coordinate that does not go on steadily from the one
// before, if it does not.
std::string TripleBlocks::stepFault(double value, double before, int direction, const char* what,
                                    const char* where) const
{
    if (direction != 0 && directionOf(before, value) == direction)
        return {};
    const std::string text = std::string(what) + " " + shortestText(value);
    if (value == before)
        return text + " repeats the " + where + " before";
    return text + (direction > 0 ? " does not rise from " : " does not fall from ") +
           shortestText(before) + ": " + what + " must rise or fall steadily";
}

void TripleBlocks::firstBlockRow(double x, double y, std::int64_t line)
{
    if (fault_)
        return;
    if (const std::string missing = checkedCoordinates(x, y); !missing.empty())
        return fault(line, missing);
    const std::int64_t r = firstRows_++;
    if (r == 0) {
        firstX_ = x;
        firstY_ = y;
        blockLine_ = line;
        return;
    }
    if (r == 1) {
        if (x != firstX_ && y != firstY_)
            return fault(line, "neither x nor y is that of the line before: a block of x y z "
                               "is a line of the grid, of constant x or of constant y");
        constant_ = x == firstX_ ? Constant::X : Constant::Y;
        const double before = constant_ == Constant::X ? firstY_ : firstX_;
        lastChanging_ = constant_ == Constant::X ? y : x;
        changingDirection_ = directionOf(before, lastChanging_);
        if (changingDirection_ == 0)
            fault(line, "the point repeats the line before");
        return;
    }
    const double constant = constant_ == Constant::X ? x : y;
    const double changing = constant_ == Constant::X ? y : x;
    const double blockConstant = constant_ == Constant::X ? firstX_ : firstY_;
    if (constant != blockConstant)
        return fault(line, std::string(constantName()) + " is " + shortestText(constant) +
                               ", but " + shortestText(blockConstant) +
                               " where the block starts: it stays the same within a block");
    if (const std::string step =
            stepFault(changing, lastChanging_, changingDirection_, changingName(), "line");
        !step.empty())
        return fault(line, step);
    lastChanging_ = changing;
}

void TripleBlocks::adopt(ValueStore&& firstBlock, std::int64_t line)
{
    if (fault_)
        throw GridRefusal(*fault_);
    if (firstRows_ < 2)
        refuse(blockLine_, "the first block holds one point: a block of x y z is a line of "
                           "the grid, of at least 2 points");
    const std::size_t rows = firstBlock.size() / 3;
    const std::size_t changingAt = constant_ == Constant::X ? 1 : 0;
    changing_.resize(rows);
    std::vector<double> z(rows);
    for (std::size_t r = 0; r < rows; ++r) {
        changing_[r] = firstBlock[3 * r + changingAt];
        z[r] = firstBlock[3 * r + 2];
    }
    firstBlock = {};
    heights_.append(z);
    constants_.push_back(constant_ == Constant::X ? firstX_ : firstY_);
    blockRows_ = static_cast<std::int64_t>(rows);
    blockLine_ = line;
}

void TripleBlocks::endBlock() const
{
    if (blockRows_ != static_cast<std::int64_t>(changing_.size()))
        refuse(blockLine_, "this block holds " + std::to_string(blockRows_) +
                               (blockRows_ == 1 ? " point" : " points") +
                               ", but the first block " + std::to_string(changing_.size()));
}

void TripleBlocks::startBlock(double constant, std::int64_t line)
{
    endBlock();
    if (constantDirection_ == 0)
        constantDirection_ = directionOf(constants_.back(), constant);
    if (const std::string step =
            stepFault(constant, constants_.back(), constantDirection_, constantName(), "block");
        !step.empty())
        refuse(line, step);
    constants_.push_back(constant);
    blockRows_ = 0;
    blockLine_ = line;
}

void TripleBlocks::row(double x, double y, double z, std::int64_t line, bool startsBlock)
{
    if (const std::string missing = checkedCoordinates(x, y); !missing.empty())
        refuse(line, missing);
    const double constant = constant_ == Constant::X ? x : y;
    const double changing = constant_ == Constant::X ? y : x;
    if (startsBlock)
        startBlock(constant, line);
    else if (constant != constants_.back())
        refuse(line, std::string(constantName()) + " is " + shortestText(constant) + ", but " +
                         shortestText(constants_.back()) +
                         " where the block starts: it stays the same within a block");
    const auto r = static_cast<std::size_t>(blockRows_);
    if (r >= changing_.size())
        refuse(line, "this block holds more than the " + std::to_string(changing_.size()) +
                         " points of the first block");
    if (changing != changing_[r])
        refuse(line, std::string(changingName()) + " is " + shortestText(changing) + ", but " +
                         shortestText(changing_[r]) +
                         " in the first block: every block repeats its coordinates in order");
    if (heights_.size() >= maxGridNodes)
        refuse(line, tooManyHeights());
    heights_.append({&z, 1});
    ++blockRows_;
}

HeightGrid TripleBlocks::finish()
{
    endBlock();
    const auto along = static_cast<std::ptrdiff_t>(changing_.size());
    // Block b, row r at b x along + r: a block is a column of the grid
    // when x is constant in it, a row when y is.
    std::ptrdiff_t blockStep = along, rowInBlockStep = 1, origin = 0;
    auto rising = [&](std::vector<double>& coordinates, std::ptrdiff_t& step, int direction) {
        if (direction < 0) {
            std::reverse(coordinates.begin(), coordinates.end());
            origin += static_cast<std::ptrdiff_t>(coordinates.size() - 1) * step;
            step = -step;
        }
    };
    rising(constants_, blockStep, constantDirection_);
    rising(changing_, rowInBlockStep, changingDirection_);
    std::vector<double> heights = heights_.take(HeightGrid::gapBefore, HeightGrid::gapAfter);
    if (constant_ == Constant::X)
        return HeightGrid::triples(std::move(heights), std::move(constants_),
                                   std::move(changing_), origin, rowInBlockStep, blockStep);
    return HeightGrid::triples(std::move(heights), std::move(changing_), std::move(constants_),
                               origin, blockStep, rowInBlockStep);
}
