#include "sheets/DataLine.h"

#include <cstring>
#include <string>

void copyField(char* field, std::size_t size, const char* text)
{
    std::memset(field, 0, size);
    const std::size_t length = strnlen(text, size - 1);
    std::memcpy(field, text, length);
}

void buildLine(DataLine& line, const char* name, const char* value)
{
    copyField(line.name, DataLine::nameSize, name);
    copyField(line.value, DataLine::valueSize, value);
    const std::string display = std::string(line.name) + " = " + line.value;
    copyField(line.display, DataLine::displaySize, display.c_str());
}
