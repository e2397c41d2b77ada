#pragma once

class QMessageBox;
class QString;

// The width a window needs for its caption in full: the caption in the
// title font (bold, as window managers draw it) and room for the window's
// buttons beside it.
int captionWidth(const QString& caption);

// Makes a message box at least as wide as its caption needs. Its caption,
// text and buttons stay as they are.
void fitCaption(QMessageBox& box);
