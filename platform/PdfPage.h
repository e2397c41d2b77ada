#pragma once
#include <QIODevice>
#include <QPdfWriter>
#include <array>
#include <memory>
#include <string>

#include "device/Canvas.h"
#include "device/LayerSplitCanvas.h"
#include "platform/QtCanvas.h"
#include "platform/SpillBuffer.h"

// A PDF page in layers: Qt's PDF writer draws each layer of the page
// (device/PageLayer.h) into a file of its own, and the program
// kelvo-pdf-layers, in the package's private directory beside kelvo-print,
// sets them one over another as the page's optional content groups, the
// layers viewers and Inkscape list. Only that program loads libqpdf. The
// page is 96 pixels to the inch.
class PdfPage {
public:
    PdfPage(int width, int height);
    ~PdfPage();
    PdfPage(const PdfPage&) = delete;
    PdfPage& operator=(const PdfPage&) = delete;

    Canvas& canvas() { return *split_; }
    // Ends the drawing and writes the document; false when a layer could
    // not be drawn, the layers not be joined or out refused the page
    // (error() says why, but for out's refusal).
    bool write(QIODevice& out);
    const std::string& error() const { return error_; }

private:
    struct Layer {
        std::unique_ptr<SpillBuffer> file;
        std::unique_ptr<QPdfWriter> writer;
        std::unique_ptr<QtCanvas> canvas;
    };
    bool joinLayers(const QString& output);

    std::array<Layer, pageLayerCount> layers_;
    std::unique_ptr<LayerSplitCanvas> split_;
    std::string error_;
};
