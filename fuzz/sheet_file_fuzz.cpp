// Reads fuzzer-chosen bytes as a sheet file, and checks what every read
// must give: the sheets read whole or left exactly as they were, a
// refusal that names the file, and sheets that were read writing a file
// that reads back as the same sheets and the same data file's path.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sheets/SheetCommit.h"
#include "sheets/SheetFile.h"
#include "sheets/Sheets.h"

namespace {

// Every field of every line, header included.
std::string fieldsOf(const Sheets& sheets)
{
    std::string text;
    for (const SheetEntry& entry : sheetEntries) {
        const DataSheet& sheet = sheets.*entry.sheet;
        for (std::size_t i = 0; i < sheet.size(); ++i)
            text.append(sheet[i].name).append("|").append(sheet[i].value).append("|")
                .append(sheet[i].display).append("\n");
    }
    return text;
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // Sheets unlike any a file gives by default, so that a partial read shows.
    Sheets sheets;
    commitRow(sheets.sdata[SettingsLine::title], "edited before");
    commitRow(sheets.fdata[1], "a");
    const std::string before = fieldsOf(sheets);

    std::string dataPath = "before";
    const auto refusal = readSheetFile(text, sheets, &dataPath);
    if (refusal) {
        check(fieldsOf(sheets) == before);
        check(dataPath == "before");
        check(!refusal->reason.empty());
        check(refusal->message("f.kelvo").starts_with("f.kelvo:"));
        return 0;
    }
    const SheetFileText written = writeSheetFile(sheets, dataPath);
    check(written.ok());
    Sheets again;
    std::string pathAgain;
    check(!readSheetFile(written.text, again, &pathAgain));
    check(fieldsOf(again) == fieldsOf(sheets));
    check(pathAgain == dataPath);
    return 0;
}
