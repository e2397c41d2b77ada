#pragma once
#include <string>
#include <vector>

// One page of a PDF file drawn as a layer of another page.
struct PdfLayer {
    std::string name;  // as a viewer lists it
    std::string path;  // a PDF file whose first page is the layer
};

// Writes a PDF file of one page, the size of the first layer's page, on
// which each layer's page is drawn in turn as an optional content group
// of its name: the layers that PDF viewers and Inkscape list, each one
// shown or hidden on its own, all shown at the start. Empty when written;
// else why not.
std::string writeLayeredPdf(const std::vector<PdfLayer>& layers, const std::string& output);
