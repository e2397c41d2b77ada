#include "pages/FileOutput.h"

namespace {

constexpr std::size_t blockSize = std::size_t{1} << 16;

} // namespace

FileOutput::FileOutput(ReplacingFile& file) : file_(file)
{
    buffer_.reserve(blockSize);
}

bool FileOutput::write(const char* data, std::size_t size)
{
    if (!cause_.empty())
        return false;
    buffer_.append(data, size);
    return buffer_.size() < blockSize || writeBlock();
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
