#include "grid/GridReader.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <new>

#include "grid/GridLimits.h"
#include "grid/GridRefusal.h"
#include "grid/RowReader.h"
#include "grid/TripleBlocks.h"
#include "grid/ValueStore.h"

namespace {

std::string countOf(std::size_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// The rows of a file, into a matrix or into triples. A file of three
// columns is undecided until a second block starts or the file ends.
class GridBuilder final : public RowSink {
public:
    explicit GridBuilder(const std::string& name) : name_(name), triples_(name) {}

    void row(std::span<const double> values, std::int64_t line, bool startsBlock) override
    {
        if (width_ == 0) {
            width_ = values.size();
            layout_ = width_ == 3 ? Layout::Undecided : Layout::Matrix;
        }
        if (values.size() != width_)
            refuse(line, countOf(values.size(), "value", "values") + ", but the first row has " +
                             std::to_string(width_));
        if (layout_ == Layout::Undecided && startsBlock) {
            triples_.adopt(std::move(values_), line);
            layout_ = Layout::Triples;
        }
        if (layout_ == Layout::Triples)
            return triples_.row(values[0], values[1], values[2], line, startsBlock);
        if (layout_ == Layout::Undecided) {
            // As triples, a first block of more than half the limit
            // leaves no room for a second; as a matrix it holds more.
            if (rows_ >= maxGridNodes / 2)
                refuse(line, tooManyHeights());
            triples_.firstBlockRow(values[0], values[1], line);
        } else if (values_.size() + values.size() > maxGridNodes) {
            refuse(line, tooManyHeights());
        }
        values_.append(values);
        ++rows_;
    }

    HeightGrid finish(std::int64_t lines)
    {
        if (layout_ == Layout::Triples)
            return triples_.finish();
        if (width_ == 0)
            throw GridRefusal(name_ + ": holds no heights");
        if (values_.size() > maxGridNodes)
            refuse(lines, tooManyHeights());
        if (rows_ < 2 || width_ < 2)
            throw GridRefusal(name_ + ": " + std::to_string(rows_) + " x " +
                              std::to_string(width_) +
                              " heights (rows x columns): a grid needs at least 2 x 2");
        return HeightGrid::matrix(values_.take(HeightGrid::gapBefore, HeightGrid::gapAfter), rows_, width_);
    }

private:
    enum class Layout { Matrix, Undecided, Triples };

    [[noreturn]] void refuse(std::int64_t line, const std::string& what) const
    {
        throw GridRefusal(name_ + ":" + std::to_string(line) + ": " + what);
    }

    const std::string& name_;
    std::size_t width_ = 0;
    std::size_t rows_ = 0;
    Layout layout_ = Layout::Matrix;
    ValueStore values_;
    TripleBlocks triples_;
};

} // namespace

GridRead readGrid(std::istream& in, const std::string& name)
{
    try {
        GridBuilder builder(name);
        const std::int64_t lines = readRows(in, name, builder, maxGridNodes);
        return {std::make_shared<const HeightGrid>(builder.finish(lines)), {}};
    } catch (const GridRefusal& refusal) {
        return {nullptr, refusal.what()};
    } catch (const std::bad_alloc&) {
        return {nullptr, name + ": not enough memory to read it"};
    }
}

GridRead readGridFile(const std::filesystem::path& path)
{
    return readGridFile(path, path.filename().string());
}

GridRead readGridFile(const std::filesystem::path& path, const std::string& name)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return {nullptr, name + ": cannot be read: it is a folder"};
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {nullptr, name + ": cannot be read" +
                             (errno != 0 ? std::string(": ") + std::strerror(errno) : "")};
    return readGrid(in, name);
}
