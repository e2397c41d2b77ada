#pragma once
#include <QMainWindow>

#include "app/PictureWidget.h"

class QAction;
class QKeySequence;
class QMenu;

// The main window "kelvo": the menu, and a client area that a declined
// print draws into. It owns the printing questions.
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    // The menu's commands, one action each.
    struct Commands {
        QAction* open = nullptr;
        QAction* openData = nullptr;
        QAction* save = nullptr;
        QAction* saveAs = nullptr;
        // The files last opened or saved; filled by whoever keeps them.
        QMenu* recent = nullptr;
        QMenu* file = nullptr;
        QAction* exit = nullptr;
        QAction* fdata = nullptr;
        QAction* gdata = nullptr;
        QAction* style = nullptr;
        QAction* screen = nullptr;
        QAction* print = nullptr;
        QAction* orientation = nullptr;
        QAction* help = nullptr;
        QAction* about = nullptr;
    };

    MainWindow();

    PictureWidget& page() { return *page_; }
    const Commands& commands() const { return commands_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenu();
    void createFileMenu();
    QAction* addCommand(QWidget* menu, const QString& text);
    static void addShortcut(QAction* action, const QKeySequence& keys);

    PictureWidget* page_;
    Commands commands_;
};
