#pragma once
#include <cstddef>
#include <cstdint>
#include <istream>
#include <span>
#include <string>

// Where the reader hands the lines of a data file that hold numbers.
class RowSink {
public:
    // The values of one line, NaN for a missing one; startsBlock when
    // blank lines stand between it and the line of numbers before it.
    virtual void row(std::span<const double> values, std::int64_t line, bool startsBlock) = 0;

protected:
    ~RowSink() = default;
};

// Reads the text of a data file to its end, a piece at a time, and hands
// each line of numbers to sink. A line holds numbers separated by blanks,
// tabs or commas; an empty field between commas is a missing value, and
// so are nan and NaN. '#' starts a comment to the end of the line; a line
// of nothing but a comment is passed over (it is not blank). The first
// line with fields is the columns' names, and skipped, when none of its
// fields is a number. Numbers are read in the C locale whatever the
// program's.
//
// Throws GridRefusal, naming the file (as name), the line and column of
// text that is not a finite number, or of a line of more than longestRow
// values. Memory: a piece of the text and one line's values.
// Returns the number of lines read.
std::int64_t readRows(std::istream& in, const std::string& name, RowSink& sink,
                      std::size_t longestRow);
