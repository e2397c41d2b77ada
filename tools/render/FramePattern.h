#pragma once
#include <optional>
#include <string>

// The file name of each frame: a name with at most one printf-style
// field for the frame's number (%d, %5d, %05d), where %% is a percent
// sign. frame-%03d.png names frame-000.png, frame-001.png, ...
class FramePattern {
public:
    static constexpr int widestField = 20;

    // The pattern of text; on a fault, error says what is wrong.
    static std::optional<FramePattern> parse(const std::string& text, std::string& error);

    bool hasField() const { return hasField_; }
    std::string fileName(int frame) const;

private:
    std::string head_, tail_;
    bool hasField_ = false;
    bool zeros_ = false;
    int width_ = 0;
};
