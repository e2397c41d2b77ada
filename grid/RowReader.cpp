#include "grid/RowReader.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "grid/GridLimits.h"
#include "grid/GridRefusal.h"
#include "sheets/CNumber.h"

namespace {

// Bytes read at a time; a field is at most longestField bytes, which is
// all that is carried from one piece to the next.
constexpr std::size_t pieceBytes = std::size_t{1} << 16;
constexpr std::ptrdiff_t longestField = 256;
// Of a field that is not a number, as much as a message shows.
constexpr std::size_t shownField = 24;

constexpr double missing = std::numeric_limits<double>::quiet_NaN();

enum class Byte : std::uint8_t { Text, Blank, Newline, Comma, Comment };

constexpr std::array<Byte, 256> byteKinds = [] {
    std::array<Byte, 256> kinds{};
    kinds.fill(Byte::Text);
    for (unsigned char c : {' ', '\t', '\r', '\v', '\f'})
        kinds[c] = Byte::Blank;
    kinds['\n'] = Byte::Newline;
    kinds[','] = Byte::Comma;
    kinds['#'] = Byte::Comment;
    return kinds;
}();

Byte kindOf(char c) { return byteKinds[static_cast<unsigned char>(c)]; }

// A field's text for a message: quoted, cut, unprintable bytes as '?'.
std::string quoted(const char* begin, const char* end)
{
    std::string text = "\"";
    for (const char* p = begin; p < end && text.size() <= shownField; ++p)
        text += static_cast<unsigned char>(*p) < 0x20 || *p == 0x7f ? '?' : *p;
    if (end - begin > static_cast<std::ptrdiff_t>(shownField))
        text += "...";
    return text + "\"";
}

// The reading of one field.
struct Reading {
    double value = 0;
    // Why it is not a height, if it is not; empty when it is.
    std::string fault;
    bool number = true;  // a number, whether or not it is finite
};

Reading readNumber(const char* begin, const char* end)
{
    Reading r;
    const char* start = begin;
    // from_chars takes no '+'; one before a digit or point is a sign.
    if (*start == '+' && end - start > 1 && (std::isdigit(static_cast<unsigned char>(start[1])) ||
                                            start[1] == '.'))
        ++start;
    const auto [stop, error] = std::from_chars(start, end, r.value);
    if (end - begin > longestField || stop != end ||
        (error != std::errc() && error != std::errc::result_out_of_range)) {
        r.number = false;
        r.fault = quoted(begin, end) + " is not a number";
        return r;
    }
    if (error == std::errc::result_out_of_range) {
        // Too small rounds to zero or below the normal range; too large
        // has no double.
        const std::string text(start, end);
        r.value = parseCNumber(text.c_str(), nullptr);
    }
    if (std::isinf(r.value))
        r.fault = quoted(begin, end) + " is not a finite number (nan marks a missing height)";
    return r;
}

class RowReader {
public:
    RowReader(const std::string& name, RowSink& sink, std::size_t longestRow)
        : name_(name), sink_(sink), longestRow_(longestRow) {}

    std::int64_t read(std::istream& in);

private:
    const char* parse(const char* begin, const char* end, bool last);
    void field(const char* begin, const char* end);
    void number(double value);
    void comma();
    void push(double value);
    void endLine();
    void clearLine();
    std::int64_t column(const char* at) const { return offset(at) - lineStart_ + 1; }
    std::int64_t offset(const char* at) const { return pieceOffset_ + (at - piece_); }
    [[noreturn]] void refuse(const std::string& what, std::int64_t at = 0) const;

    const std::string& name_;
    RowSink& sink_;
    const std::size_t longestRow_;

    // Where the piece in hand starts, in the stream.
    const char* piece_ = nullptr;
    std::int64_t pieceOffset_ = 0;
    std::int64_t line_ = 1;
    std::int64_t lineStart_ = 0;
    bool inComment_ = false;
    bool skippingField_ = false;

    // The line being read.
    std::vector<double> values_;
    bool lineHasFields_ = false;  // fields or commas
    bool lineHasComma_ = false;
    bool lineHasComment_ = false;
    bool pieceHasField_ = false;  // between the last comma and here
    int numbers_ = 0;
    // In the first line, which may name the columns: the first fault,
    // and where it was.
    std::optional<std::string> deferred_;
    std::int64_t deferredColumn_ = 0;

    bool firstLine_ = true;  // no line with fields yet
    bool sawRow_ = false;
    bool blank_ = false;
};

void RowReader::refuse(const std::string& what, std::int64_t at) const
{
    std::string where = name_;
    where += ':';
    where += std::to_string(line_);
    if (at > 0) {
        where += ':';
        where += std::to_string(at);
    }
    where += ": ";
    throw GridRefusal(where + what);
}

std::int64_t RowReader::read(std::istream& in)
{
    // Not cleared: only what is read into it is ever looked at.
    const std::unique_ptr<char[]> buffer(
        new char[pieceBytes + static_cast<std::size_t>(longestField)]);
    std::size_t kept = 0;
    bool first = true;
    for (;;) {
        in.read(buffer.get() + kept, static_cast<std::streamsize>(pieceBytes));
        const auto got = static_cast<std::size_t>(in.gcount());
        // What came before a failure is read, up to the line it stopped in.
        const bool failed = in.bad();
        const bool last = !failed && (in.eof() || got == 0);
        piece_ = buffer.get();
        const char* begin = piece_;
        const char* end = piece_ + kept + got;
        // A byte order mark, as some programs write before UTF-8 text.
        if (first && end - begin >= 3 && std::memcmp(begin, "\xEF\xBB\xBF", 3) == 0) {
            begin += 3;
            lineStart_ = 3;
        }
        first = false;
        const char* stop = parse(begin, end, last);
        if (failed)
            refuse("cannot be read");
        if (last)
            break;
        kept = static_cast<std::size_t>(end - stop);
        pieceOffset_ += stop - piece_;
        std::memmove(buffer.get(), stop, kept);
    }
    if (lineHasFields_ || lineHasComment_)
        endLine();
    return line_;
}

// Reads what it can of [begin, end): all of it, or up to a field that
// may go on in the next piece (none when this is the last).
const char* RowReader::parse(const char* begin, const char* end, bool last)
{
    const char* p = begin;
    while (p < end) {
        if (inComment_) {
            const void* newline = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
            if (newline == nullptr)
                return end;
            p = static_cast<const char*>(newline);
            inComment_ = false;
        }
        if (skippingField_) {
            while (p < end && kindOf(*p) == Byte::Text)
                ++p;
            if (p == end)
                return end;
            skippingField_ = false;
        }
        switch (kindOf(*p)) {
        case Byte::Newline:
            endLine();
            ++line_;
            lineStart_ = offset(p + 1);
            ++p;
            break;
        case Byte::Blank: ++p; break;
        case Byte::Comma:
            comma();
            ++p;
            break;
        case Byte::Comment:
            inComment_ = true;
            lineHasComment_ = true;
            ++p;
            break;
        case Byte::Text: {
            // Most fields are numbers followed by a separator: read at once.
            double value = 0;
            const auto [stop, error] = std::from_chars(p, end, value);
            if (error == std::errc() && stop < end && kindOf(*stop) != Byte::Text &&
                stop - p <= longestField && !std::isinf(value)) {
                number(value);
                p = stop;
                break;
            }
            const char* q = p + 1;
            while (q < end && kindOf(*q) == Byte::Text)
                ++q;
            if (q == end && !last) {
                if (q - p <= longestField)
                    return p;
                // Too long for a number: read as one that is not, and
                // the rest of it passed over.
                field(p, q);
                skippingField_ = true;
                return end;
            }
            field(p, q);
            p = q;
            break;
        }
        }
    }
    return end;
}

void RowReader::field(const char* begin, const char* end)
{
    const Reading r = readNumber(begin, end);
    if (r.fault.empty())
        return number(r.value);
    lineHasFields_ = true;
    pieceHasField_ = true;
    if (r.number)
        ++numbers_;
    if (!firstLine_)
        refuse(r.fault, column(begin));
    if (!deferred_) {
        deferred_ = r.fault;
        deferredColumn_ = column(begin);
    }
}

void RowReader::number(double value)
{
    lineHasFields_ = true;
    pieceHasField_ = true;
    ++numbers_;
    push(value);
}

void RowReader::comma()
{
    lineHasFields_ = true;
    lineHasComma_ = true;
    if (!pieceHasField_)
        push(missing);
    pieceHasField_ = false;
}

void RowReader::push(double value)
{
    if (values_.size() >= longestRow_)
        refuse(tooManyHeights());
    values_.push_back(value);
}

void RowReader::endLine()
{
    if (!lineHasFields_) {
        // A blank line parts blocks; a line of a comment alone does not.
        blank_ = blank_ || !lineHasComment_;
        clearLine();
        return;
    }
    if (lineHasComma_ && !pieceHasField_)
        push(missing);
    firstLine_ = false;
    if (deferred_) {
        if (numbers_ == 0) {
            // The columns' names.
            clearLine();
            return;
        }
        refuse(*deferred_, deferredColumn_);
    }
    sink_.row(values_, line_, sawRow_ && blank_);
    sawRow_ = true;
    blank_ = false;
    clearLine();
}

void RowReader::clearLine()
{
    values_.clear();
    lineHasFields_ = lineHasComma_ = lineHasComment_ = pieceHasField_ = false;
    numbers_ = 0;
    deferred_.reset();
}

} // namespace

std::int64_t readRows(std::istream& in, const std::string& name, RowSink& sink,
                      std::size_t longestRow)
{
    return RowReader(name, sink, longestRow).read(in);
}
