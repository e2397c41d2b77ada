#include "tools/render/PrintPage.h"

#include <QImage>
#include <cstdio>
#include <string>

#include "expr/SurfaceFunction.h"
#include "platform/PaintDeviceWindow.h"
#include "platform/SpoolerPrintService.h"
#include "render/ComposePage.h"

int printPage(const Sheets& sheets, bool blackAndWhite)
{
    // The window a declined print would draw into; here every print goes ahead.
    QImage image(800, 600, QImage::Format_RGB32);
    PaintDeviceWindow window(&image, 800, 600);
    bool finished = false;
    bool failed = false;
    window.setMessageHandler([&](const std::string& text, const std::string& caption,
                                 MessageButtons buttons) {
        if (caption == "Shall we print to ") {
            std::fprintf(stderr, "kelvo-render: printing to %s\n", text.c_str());
            return MessageAnswer::Yes;
        }
        if (caption == "Notice")
            return blackAndWhite ? MessageAnswer::No : MessageAnswer::Yes;
        if (text == "Printing is Finished") {
            finished = true;
            return MessageAnswer::Ok;
        }
        failed = true;
        std::fprintf(stderr, "kelvo-render: %s: %s\n", caption.c_str(), text.c_str());
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    });

    SpoolerPrintService spooler;
    SurfaceFunction surface(sheets.fdata);
    PlotDevice device(&window);
    device.printService = &spooler;
    double tilt = 0, theta = 0;
    PageContext page{device, sheets, &surface, tilt, theta, false};
    composePage(page, 1);

    if (failed || !finished) {
        std::fprintf(stderr, "kelvo-render: the page was not printed\n");
        return 2;
    }
    if (!surface.ok()) {
        std::fprintf(stderr, "kelvo-render: %s\n  %s\n  %s\n", SurfaceFunction::warningCaption,
                     sheets.fdata[6].display, surface.parser().diagnostic().c_str());
        return 1;
    }
    return 0;
}
