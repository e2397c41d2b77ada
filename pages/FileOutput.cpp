#include "pages/FileOutput.h"

#include <algorithm>

namespace {

constexpr std::size_t blockSize = std::size_t{1} << 16;

} // namespace

FileOutput::FileOutput(ReplacingFile& file) : file_(file)
{
    buffer_.reserve(blockSize);
}

// The buffer never grows past a block: a layer copied in whole is
// written a block at a time, not copied into a larger buffer first.
bool FileOutput::write(const char* data, std::size_t size)
{
    while (cause_.empty() && size > 0) {
        const std::size_t taken = std::min(size, blockSize - buffer_.size());
        buffer_.append(data, taken);
        data += taken;
        size -= taken;
        if (buffer_.size() == blockSize)
            writeBlock();
    }
    return cause_.empty();
}

bool FileOutput::finish()
{
    return writeBlock();
}

bool FileOutput::writeBlock()
{
    if (!cause_.empty() || buffer_.empty())
        return cause_.empty();
    if (!file_.write(buffer_.data(), buffer_.size()))
        cause_ = file_.error();
    buffer_.clear();
    return cause_.empty();
}

void saveFile(const std::string& path, PageFileResult& result,
              const std::function<bool(ByteSink&)>& write, const std::function<bool()>& keep)
{
    ReplacingFile file(path);
    if (!file.open()) {
        result.error = file.error();
        return;
    }
    FileOutput out(file);
    const bool drawn = write(out);
    if (keep && !keep()) {
        result.abandoned = true;
        return;
    }
    const bool complete = out.finish();
    if (drawn && complete && file.commit()) {
        result.written = true;
        return;
    }
    if (!complete)
        result.error = out.cause();
    else if (!drawn && result.error.empty())
        result.error = "the page could not be drawn (not enough memory for its image)";
    else if (drawn)
        result.error = file.error();
}
