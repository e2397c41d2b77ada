#pragma once
#include <cstddef>
#include <string_view>

// Where a page's bytes go: its file, a layer held aside, a buffer in
// memory. A sink takes all it is given or says that it failed; one that
// has failed may refuse everything after.
class ByteSink {
public:
    virtual bool write(const char* data, std::size_t size) = 0;
    bool write(std::string_view text) { return write(text.data(), text.size()); }

protected:
    ~ByteSink() = default;
};
