#pragma once
#include <cstddef>

// One text line of a data sheet: three fixed, NUL-terminated fields.
struct DataLine {
    static constexpr std::size_t nameSize = 40;
    static constexpr std::size_t valueSize = 60;
    static constexpr std::size_t displaySize = 120;
    // The longest value, in bytes. A longer one is refused whole where it
    // is entered: a cut could change what it means, or split a character.
    static constexpr std::size_t longestValue = valueSize - 1;

    char name[nameSize];
    char value[valueSize];
    char display[displaySize];
};

static_assert(sizeof(DataLine) == 220);
static_assert(offsetof(DataLine, name) == 0);
static_assert(offsetof(DataLine, value) == 40);
static_assert(offsetof(DataLine, display) == 100);

// Writes name and value (each cut to what its field holds) and sets
// display to name + " = " + value, cut to 119 characters.
void buildLine(DataLine& line, const char* name, const char* value);

// Copies text into a field of the given size, cutting it so that the
// terminator always fits; the rest of the field is zeroed.
void copyField(char* field, std::size_t size, const char* text);
