#pragma once

class QWidget;

// The About box: modal, owned by the main window.
void showAboutBox(QWidget* owner);
