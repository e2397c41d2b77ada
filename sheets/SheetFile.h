#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "sheets/Sheets.h"

// A sheet file: the sheets as UTF-8 text that a person can read and edit.
//
//   kelvo sheets 1          the format and its version, exactly
//   # a comment             a line whose first non-blank is "#"
//   [fdata]                 a sheet's block, one per sheet
//   a = 5                   NAME = VALUE: a row as the editor lists it
//   a | a is 5              NAME | ROW: the row's own text, when the editor
//                           lists it otherwise than NAME = VALUE
//   [data]                  the data file whose heights z takes, if any:
//   path = heights.csv      its path, relative to the sheet file's folder
//                           (or absolute), in UTF-8 of any characters
//
// Every entry line of every sheet has exactly one NAME = VALUE line in its
// sheet's block; a [data] block, at most one, has exactly one path line.
// Blocks of other names are refused.

inline constexpr std::string_view sheetFileFirstLine = "kelvo sheets 1";
inline constexpr std::size_t largestSheetFile = std::size_t{1} << 20;
// The longest data file path a sheet file records, in bytes.
inline constexpr std::size_t longestDataPath = 4096;

// Why a file was not read: its line (from 1; 0 for the file as a whole)
// and what is wrong there.
struct SheetFileRefusal {
    std::size_t line = 0;
    std::string reason;

    // "wave.kelvo:7: reason", or "wave.kelvo: reason" for the whole file.
    std::string message(std::string_view fileName) const;
};

// Reads a sheet file's text into the sheets, whole or not at all: on a
// refusal the sheets (and dataPath) are as they were. dataPath, when
// given, takes the path of the [data] block as the file gives it, empty
// without one; reading the data file is the caller's.
std::optional<SheetFileRefusal> readSheetFile(std::string_view text, Sheets& sheets,
                                              std::string* dataPath = nullptr);

// The text of a sheet file that reads back as the sheets and, when not
// empty, the data file's path (as the file is to record it), or, when a
// line holds what no file line can (a control character), why not.
struct SheetFileText {
    std::string text;
    std::string refusal;
    bool ok() const { return refusal.empty(); }
};
SheetFileText writeSheetFile(const Sheets& sheets, std::string_view dataPath = {});
