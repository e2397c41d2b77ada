#pragma once
#include <functional>
#include <string>

#include "pages/ByteSink.h"
#include "pages/PageRequest.h"
#include "pages/ReplacingFile.h"

// A page's bytes on their way to its file, in blocks of 64 KiB. The first
// block the system refuses is remembered with the system's reason (a full
// disk says so), and everything after it is refused too, so that a writer
// that does not look at its results still fails the page.
class FileOutput final : public ByteSink {
public:
    explicit FileOutput(ReplacingFile& file);

    bool write(const char* data, std::size_t size) override;
    // Writes what is held; false once any write has failed.
    bool finish();
    const std::string& cause() const { return cause_; }

private:
    bool writeBlock();

    ReplacingFile& file_;
    std::string buffer_;
    std::string cause_;
};

// Writes the file at path with write, whole or not at all; result says
// whether it was written, or why not. write returns false when it could
// not draw its page. A page that keep, when given, does not take is left
// out as a failed one is, and result says it was abandoned.
void saveFile(const std::string& path, PageFileResult& result,
              const std::function<bool(ByteSink&)>& write,
              const std::function<bool()>& keep = {});
