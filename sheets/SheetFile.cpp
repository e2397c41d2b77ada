#include "sheets/SheetFile.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include "sheets/Latin1Text.h"
#include "sheets/SheetLookup.h"

namespace {

// Names and texts quoted in a message are cut after this many bytes.
constexpr std::size_t quotedLimit = 40;

// A text for a message, in quotes; a long one is cut on a character
// boundary and ends in an ellipsis.
std::string quoted(std::string_view text)
{
    std::string quote = "\"";
    if (text.size() <= quotedLimit) {
        quote.append(text);
    } else {
        std::size_t end = quotedLimit;
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            --end;
        quote.append(text.substr(0, end)).append("\u2026");
    }
    return quote.append("\"");
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The text after an "=" or "|": one blank that follows it is the
// separator, any further blanks belong to the text.
std::string_view afterMark(std::string_view rest)
{
    if (!rest.empty() && rest.front() == ' ')
        rest.remove_prefix(1);
    return rest;
}

std::string codePointName(char32_t value)
{
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(value));
    return name;
}

// Tab is the one control character a line may hold; the rest would not
// survive a text editor, or end the line.
bool isControl(char32_t value)
{
    return (value < 0x20 && value != '\t') || value == 0x7F;
}

// The sheet bytes of a line's UTF-8 text, or why it has none: a control
// character, or a character beyond Latin-1.
std::optional<std::string> latin1Of(std::string_view text, std::string& bytes)
{
    bytes.clear();
    for (std::size_t i = 0; i < text.size();) {
        const CodePoint point = codePointAt(text, i);
        if (isControl(point.value))
            return "a control character (" + codePointName(point.value) + ") is not sheet text";
        if (point.value > 0xFF)
            return "the character " + quoted(text.substr(i, point.length)) + " (" +
                   codePointName(point.value) + ") is not one the sheets hold: they hold Latin-1 text";
        bytes += static_cast<char>(point.value);
        i += point.length;
    }
    return std::nullopt;
}

// Why a data file's path cannot be recorded as it stands, if it cannot:
// a path holds UTF-8 text of any characters but the control characters.
std::optional<std::string> badDataPath(std::string_view path)
{
    if (path.empty())
        return "the data file's path is empty";
    if (path.size() > longestDataPath)
        return "the data file's path is longer than " + std::to_string(longestDataPath) + " bytes";
    if (firstNonUtf8Byte(path))
        return "the data file's path is not UTF-8 text";
    for (const char c : path)
        if (isControl(static_cast<unsigned char>(c)))
            return "the data file's path holds a control character (" +
                   codePointName(static_cast<unsigned char>(c)) + ")";
    return std::nullopt;
}

// An entry line's name, and what follows it from its first non-blank.
struct Entry {
    std::string_view name, rest;
};
Entry splitEntry(std::string_view entry)
{
    const std::size_t nameEnd = entry.find_first_of(" \t=|");
    std::string_view rest = entry.substr(std::min(nameEnd, entry.size()));
    while (!rest.empty() && isBlank(rest.front()))
        rest.remove_prefix(1);
    return {entry.substr(0, nameEnd), rest};
}

// The sheet's entry line of the given name (without its padding), or 0.
std::size_t lineNamed(const DataSheet& sheet, std::string_view name)
{
    const std::size_t count = entryCount(sheet);
    for (std::size_t i = 1; i <= count; ++i)
        if (trimmedName(sheet[i]) == name)
            return i;
    return 0;
}

std::string versionRefusal(std::string_view firstLine)
{
    constexpr std::string_view format = "kelvo sheets ";
    if (!firstLine.starts_with(format))
        return "not a kelvo sheet file: its first line is not \"" + std::string(sheetFileFirstLine) +
               "\"";
    return "version " + quoted(firstLine.substr(format.size())) +
           " of the sheet file format is not one this kelvo reads (it reads version 1)";
}

// What a block has given for one entry line so far.
struct GivenLine {
    std::optional<std::string> value;
    std::optional<std::string> row;
};

struct GivenSheet {
    std::size_t headerLine = 0;
    std::vector<GivenLine> lines;
};

// One pass over the lines into what each block gives; nothing reaches the
// sheets until every line has been read and every entry line is given.
class Reader {
public:
    std::optional<SheetFileRefusal> read(std::string_view text, Sheets& sheets,
                                         std::string* dataPath)
    {
        if (text.size() > largestSheetFile)
            return SheetFileRefusal{0, "the file is larger than 1 MB (1048576 bytes)"};
        if (const auto bad = firstNonUtf8Byte(text))
            return refusal(lineOfOffset(text, *bad), "bytes that are not UTF-8 text");
        std::size_t start = 0;
        while (start < text.size() || lineNumber_ == 0) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            std::string_view line = text.substr(start, end - start);
            if (line.ends_with('\r'))
                line.remove_suffix(1);
            ++lineNumber_;
            if (auto reason = readLine(line))
                return refusal(lineNumber_, std::move(*reason));
            start = end + 1;
        }
        if (auto missing = findMissing())
            return missing;
        sheets = result();
        if (dataPath != nullptr)
            *dataPath = dataPath_.value_or(std::string());
        return std::nullopt;
    }

private:
    static std::size_t lineOfOffset(std::string_view text, std::size_t offset)
    {
        std::size_t line = 1;
        for (std::size_t i = 0; i < offset; ++i)
            line += text[i] == '\n';
        return line;
    }

    static SheetFileRefusal refusal(std::size_t line, std::string reason)
    {
        return SheetFileRefusal{line, std::move(reason)};
    }

    std::optional<std::string> readLine(std::string_view line)
    {
        if (lineNumber_ == 1) {
            if (line != sheetFileFirstLine)
                return versionRefusal(line);
            return std::nullopt;
        }
        const std::string_view content = trimmed(line);
        if (content.empty() || content.front() == '#')
            return std::nullopt;
        // Blanks at the end of a value are part of it; those of a
        // header are not.
        const std::string_view text = line.substr(line.find(content.front()));
        // A path is UTF-8 of any characters, not sheet text.
        if (current_ == dataBlock && text.front() != '[')
            return readDataEntry(text);
        std::string bytes;
        if (auto reason = latin1Of(text, bytes))
            return reason;
        if (bytes.front() == '[')
            return readBlockHeader(trimmed(bytes));
        if (current_ == noBlock)
            return "a line before the first sheet's block, such as [fdata]";
        return readEntry(bytes);
    }

    // [NAME]
    std::optional<std::string> readBlockHeader(std::string_view header)
    {
        if (header.size() < 2 || header.back() != ']')
            return "a block's header is [NAME], not " + quoted(utf8FromLatin1(header));
        const std::string_view name = trimmed(header.substr(1, header.size() - 2));
        if (name == dataBlockName) {
            if (dataHeaderLine_ != 0)
                return "the block [data] comes a second time";
            dataHeaderLine_ = lineNumber_;
            current_ = dataBlock;
            return std::nullopt;
        }
        for (std::size_t i = 0; i < sheetEntries.size(); ++i) {
            if (sheetEntries[i].name != name)
                continue;
            if (given_[i])
                return "the block [" + std::string(name) + "] comes a second time";
            const DataSheet& sheet = defaults_.*sheetEntries[i].sheet;
            given_[i] = GivenSheet{lineNumber_, std::vector<GivenLine>(entryCount(sheet) + 1)};
            current_ = i;
            return std::nullopt;
        }
        std::string message = "no block is named " + quoted(utf8FromLatin1(name)) +
                              ": the blocks are";
        for (const SheetEntry& entry : sheetEntries)
            message.append(" [").append(entry.name).append("],");
        return message.append(" and [data]");
    }

    // path = PATH
    std::optional<std::string> readDataEntry(std::string_view entry)
    {
        const auto [name, rest] = splitEntry(entry);
        if (name != "path")
            return "the block [data] holds the line \"path\" alone, not " + quoted(name);
        if (rest.empty() || rest.front() != '=')
            return "\"path\" must be followed by \"=\" and the data file's path";
        if (dataPath_)
            return "the line \"path\" comes a second time";
        const std::string_view path = afterMark(rest.substr(1));
        if (auto reason = badDataPath(path))
            return reason;
        dataPath_ = std::string(path);
        return std::nullopt;
    }

    // NAME = VALUE, or NAME | ROW
    std::optional<std::string> readEntry(std::string_view entry)
    {
        const auto [name, rest] = splitEntry(entry);
        const std::size_t line = lineNamed(defaults_.*sheetEntries[current_].sheet, name);
        if (line == 0)
            return unknownName(name);
        if (rest.empty() || (rest.front() != '=' && rest.front() != '|'))
            return quoted(name) + " must be followed by \"=\" and its value, or by \"|\" and its row";
        const std::string_view text = afterMark(rest.substr(1));
        GivenLine& given = given_[current_]->lines[line];
        if (rest.front() == '=')
            return giveValue(given, name, text);
        return giveRow(given, name, text);
    }

    std::optional<std::string> giveValue(GivenLine& given, std::string_view name, std::string_view value)
    {
        if (given.value)
            return "the line " + quoted(name) + " comes a second time";
        if (value.size() > DataLine::longestValue)
            return "the value of " + quoted(name) + " is longer than " +
                   std::to_string(DataLine::longestValue) + " characters";
        given.value = std::string(value);
        return std::nullopt;
    }

    std::optional<std::string> giveRow(GivenLine& given, std::string_view name, std::string_view row)
    {
        if (given.row)
            return "the row of " + quoted(name) + " comes a second time";
        if (row.size() >= DataLine::displaySize)
            return "the row of " + quoted(name) + " is longer than " +
                   std::to_string(DataLine::displaySize - 1) + " characters";
        given.row = std::string(row);
        return std::nullopt;
    }

    std::string unknownName(std::string_view name) const
    {
        for (const SheetEntry& other : sheetEntries)
            if (lineNamed(defaults_.*other.sheet, name) != 0)
                return "the line " + quoted(name) + " belongs in [" + std::string(other.name) +
                       "], not in [" + std::string(sheetEntries[current_].name) + "]";
        return "no sheet line is named " + quoted(utf8FromLatin1(name));
    }

    std::optional<SheetFileRefusal> findMissing() const
    {
        if (dataHeaderLine_ != 0 && !dataPath_)
            return refusal(dataHeaderLine_, "the block [data] has no line \"path\"");
        for (std::size_t i = 0; i < sheetEntries.size(); ++i) {
            if (!given_[i] && sheetEntries[i].mayBeLeftOut)
                continue;
            if (!given_[i])
                return refusal(lineNumber_, "the file has no block [" +
                                                std::string(sheetEntries[i].name) + "]");
            const DataSheet& sheet = defaults_.*sheetEntries[i].sheet;
            for (std::size_t line = 1; line < given_[i]->lines.size(); ++line)
                if (!given_[i]->lines[line].value)
                    return refusal(given_[i]->headerLine,
                                   "the block [" + std::string(sheetEntries[i].name) +
                                       "] has no line " + quoted(trimmedName(sheet[line])));
        }
        return std::nullopt;
    }

    Sheets result() const
    {
        Sheets sheets;
        for (std::size_t i = 0; i < sheetEntries.size(); ++i) {
            if (!given_[i])
                continue;
            DataSheet& sheet = sheets.*sheetEntries[i].sheet;
            for (std::size_t line = 1; line < given_[i]->lines.size(); ++line) {
                const GivenLine& given = given_[i]->lines[line];
                buildLine(sheet[line], sheet[line].name, given.value->c_str());
                if (given.row)
                    copyField(sheet[line].display, DataLine::displaySize, given.row->c_str());
            }
        }
        return sheets;
    }

    static constexpr std::size_t noBlock = sheetEntries.size();
    static constexpr std::size_t dataBlock = noBlock + 1;
    static constexpr std::string_view dataBlockName = "data";

    // The names and counts of the lines come from the defaults: no file
    // changes them.
    Sheets defaults_;
    std::array<std::optional<GivenSheet>, sheetEntries.size()> given_;
    std::size_t current_ = noBlock;
    std::size_t lineNumber_ = 0;
    // The [data] block's header (0 while there is none) and its path.
    std::size_t dataHeaderLine_ = 0;
    std::optional<std::string> dataPath_;
};

// Why a line's text cannot go into a file line, if it cannot.
std::optional<std::string> unwritable(std::string_view text, std::string_view name)
{
    for (const char c : text)
        if (isControl(static_cast<unsigned char>(c)))
            return "the line " + quoted(utf8FromLatin1(name)) + " holds a control character (" +
                   codePointName(static_cast<unsigned char>(c)) + "), which a sheet file cannot";
    return std::nullopt;
}

} // namespace

std::string SheetFileRefusal::message(std::string_view fileName) const
{
    std::string text(fileName);
    if (line != 0)
        text.append(":").append(std::to_string(line));
    return text.append(": ").append(reason);
}

std::optional<SheetFileRefusal> readSheetFile(std::string_view text, Sheets& sheets,
                                              std::string* dataPath)
{
    return Reader().read(text, sheets, dataPath);
}

SheetFileText writeSheetFile(const Sheets& sheets, std::string_view dataPath)
{
    SheetFileText file;
    file.text = std::string(sheetFileFirstLine) + "\n# kelvo's sheets; kelvo(5) tells the format.\n";
    for (const SheetEntry& entry : sheetEntries) {
        const DataSheet& sheet = sheets.*entry.sheet;
        file.text += "\n[" + std::string(entry.name) + "]\n";
        const std::size_t count = entryCount(sheet);
        for (std::size_t i = 1; i <= count; ++i) {
            const DataLine& line = sheet[i];
            const std::string name = trimmedName(line);
            for (const char* text : {line.value, line.display}) {
                if (auto reason = unwritable(text, name)) {
                    file.refusal = std::move(*reason);
                    file.text.clear();
                    return file;
                }
            }
            const std::string listed = std::string(line.name) + " = " + line.value;
            file.text += utf8FromLatin1(listed) + "\n";
            if (listed != line.display)
                file.text += utf8FromLatin1(std::string(line.name) + " | " + line.display) + "\n";
        }
    }
    if (dataPath.empty())
        return file;
    if (auto reason = badDataPath(dataPath)) {
        file.refusal = std::move(*reason) + ", which a sheet file cannot record";
        file.text.clear();
        return file;
    }
    file.text.append("\n[data]\npath = ").append(dataPath).append("\n");
    return file;
}
