#include "sheets/DataLine.h"

#include <cstring>
#include <string>

void copyField(char* field, std::size_t size, const char* text)
{
    std::memset(field, 0, size);
    const std::size_t length = strnlen(text, size - 1);
    std::memcpy(field, text, length);
}

// The texts may be fields of the line itself, so they are copied first.
void buildLine(DataLine& line, const char* name, const char* value)
{
    const std::string nameText = name;
    const std::string valueText = value;
    copyField(line.name, DataLine::nameSize, nameText.c_str());
    copyField(line.value, DataLine::valueSize, valueText.c_str());
    const std::string display = std::string(line.name) + " = " + line.value;
    copyField(line.display, DataLine::displaySize, display.c_str());
}
