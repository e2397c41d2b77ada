#pragma once

// kelvo-render draws single SVG, HPGL and calls pages itself, without Qt;
// the rest runs in the package's private programs, each started in this
// process's place with the same arguments, so that a page written to a
// file loads only what it needs.

// Printing: kelvo-print, the one program that links Qt PrintSupport (and
// with it Qt Widgets) and CUPS. Returns only when it cannot be started,
// after saying why on stderr, with exit status 2.
int execPrintHelper(char** argv);

// Every other page, and the frames: kelvo-render-qt, which draws with Qt.
// Returns as execPrintHelper does.
int execQtRenderer(char** argv);
