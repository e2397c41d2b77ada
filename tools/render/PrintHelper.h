#pragma once

// Printing runs in a program of its own, kelvo-print, installed beside
// kelvo-render's libraries: only it links Qt PrintSupport (and with it
// Qt Widgets) and CUPS, so that a page written to a file loads neither.

// Replaces this process by the helper with the same arguments; returns
// only when the helper cannot be started, after saying why on stderr.
int execPrintHelper(char** argv);
