// kelvo-pdf-layers: sets the pages of PDF files one over another as the
// named layers of one page. kelvo-render and kelvo run it for a PDF page,
// so that only it loads libqpdf (which brings TLS and more).
// Usage: kelvo-pdf-layers OUTPUT NAME PDF [NAME PDF]...
#include <cstdio>
#include <string>
#include <vector>

#include "tools/pdf/PdfLayers.h"

int main(int argc, char** argv)
{
    if (argc < 4 || argc % 2 != 0) {
        std::fputs("usage: kelvo-pdf-layers OUTPUT NAME PDF [NAME PDF]...\n", stderr);
        return 2;
    }
    std::vector<PdfLayer> layers;
    for (int i = 2; i + 1 < argc; i += 2)
        layers.push_back({argv[i], argv[i + 1]});
    const std::string error = writeLayeredPdf(layers, argv[1]);
    if (!error.empty()) {
        std::fprintf(stderr, "kelvo-pdf-layers: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
