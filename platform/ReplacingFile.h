#pragma once
#include <cstddef>
#include <string>

// A file written beside its final name and put in place whole by a
// rename: readers see the old file or the new one, never a part, and a
// write that fails leaves the old one as it was. The new file takes the
// old one's permissions, or the umask's; a symbolic link is written
// through to its target.
//
// Unlike QSaveFile, it does not wait for the disk (fdatasync): a page or
// a frame is made again from its sheets in milliseconds, while the sync
// costs 3 to 45 ms a file on a busy disk, more than the page. After a
// crash of the whole system a file renamed shortly before may be missing
// or empty; the renderer's runs never leave a part of a file at its name.
class ReplacingFile {
public:
    explicit ReplacingFile(std::string path);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the unnamed (or hidden) new file; false with error() when
    // the directory refuses it.
    bool open();
    // Writes all of data; false with error() once any write has failed.
    bool write(const char* data, std::size_t size);
    // Puts the new file in place; false with error() when it could not.
    bool commit();
    // Why the last step failed, in the system's words.
    const std::string& error() const { return error_; }

private:
    bool fail(const char* what);
    void discard();

    std::string path_;
    std::string target_;
    std::string hidden_;
    int fd_ = -1;
    std::string error_;
};
