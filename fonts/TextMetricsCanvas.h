#pragma once
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>

#include "fonts/MeasuringCanvas.h"
#include "fonts/SizedFace.h"

// A canvas that only measures text, without Qt: fontconfig finds the face
// as Qt's font database does, FreeType and HarfBuzz measure it as Qt's
// font engine does, and every answer is Qt's own where the request and
// the text are of the kinds proven equal (fonts/FaceChoice.h,
// fonts/SizedFace.h). It draws nothing: it is the font canvas of a vector
// page or a page's calls. Where an answer may differ from Qt's, it answers
// as best it can and says so in unproven(); the page drawn with it is
// then to be drawn again by Qt.
class TextMetricsCanvas final : public MeasuringCanvas {
public:
    TextMetricsCanvas();
    ~TextMetricsCanvas() override;
    TextMetricsCanvas(const TextMetricsCanvas&) = delete;
    TextMetricsCanvas& operator=(const TextMetricsCanvas&) = delete;

    std::vector<std::string> setupFiles() const override;
    TextMetrics fontMetrics(const FontSpec& font) override;
    int textWidth(const std::string& text, const FontSpec& font) override;

private:
    // A face a size: the request's family, size, style and stretch.
    using FaceKey = std::tuple<std::string, int, bool, bool, int>;

    SizedFace& faceAt(const FontRequest& request);
    SizedFace& faceFor(const FontSpec& font);

    struct Library;
    std::unique_ptr<Library> library_;
    std::map<FaceKey, std::unique_ptr<SizedFace>> faces_;
    std::vector<std::string> faceFiles_;
};
