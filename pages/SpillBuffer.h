#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "pages/ByteSink.h"

// Bytes kept in memory up to a bound, then in a temporary file: one layer
// of a page on its way to the page's file, whose memory does not grow
// with the page. The file has no name (Linux makes it unnamed and it goes
// with its descriptor), so nothing is left behind by any exit; but one
// made for another program to read has a name (named()), removed with the
// buffer. A failed write is told in the system's own words ("File too
// large").
class SpillBuffer final : public ByteSink {
public:
    static constexpr std::size_t defaultBound = std::size_t{1} << 20;

    explicit SpillBuffer(std::size_t memoryBound = defaultBound);
    ~SpillBuffer();
    SpillBuffer(const SpillBuffer&) = delete;
    SpillBuffer& operator=(const SpillBuffer&) = delete;

    // A buffer in a named file from the start; null when the file cannot
    // be made (error says why).
    static std::unique_ptr<SpillBuffer> named(std::string& error);
    // The named file's path; empty for an unnamed one.
    const std::string& fileName() const { return name_; }

    using ByteSink::write;
    bool write(const char* data, std::size_t size) override;
    // Whether nothing was written.
    bool empty() const { return size_ == 0; }
    // Writes all it holds to out, in blocks; false when out refused a
    // block or this buffer's file failed.
    bool copyTo(ByteSink& out);
    // Why a write to this buffer failed; empty while none did.
    const std::string& error() const { return error_; }

private:
    bool spill();
    bool makeFile(bool withName);
    bool writeFile(const char* data, std::size_t size);
    // Notes the cause of a failed operation on the file, from errno.
    bool failed(const char* what);

    std::size_t bound_;
    std::size_t size_ = 0;
    // In memory, in blocks of 64 KiB, so that nothing held is copied
    // again as it grows.
    std::vector<std::string> blocks_;
    int fd_ = -1;
    std::string name_;
    std::string error_;
};

// The folder temporary files go to, as Qt names it: TMPDIR, else /tmp,
// with its links resolved; empty when it does not exist.
std::string temporaryFolder();
