#include "app/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

MainWindow::MainWindow() : page_(new PictureWidget(this))
{
    setWindowTitle("kelvo");
    setWindowIcon(QIcon(":/kelvo.svg"));
    setCentralWidget(page_);
    createMenu();
    commands_.orientation->setEnabled(false);
}

QAction* MainWindow::addCommand(QWidget* menu, const QString& text)
{
    auto* action = new QAction(text, this);
    menu->addAction(action);
    return action;
}

// The sheet files' commands, at the left of the bar; the keys are the
// platform's own, from any of the program's windows.
void MainWindow::createFileMenu()
{
    QMenu* file = menuBar()->addMenu("&File");
    commands_.file = file;
    commands_.open = addCommand(file, QStringLiteral("&Open\u2026"));
    commands_.recent = file->addMenu("Open &Recent");
    commands_.openData = addCommand(file, QStringLiteral("Open &Data\u2026"));
    file->addSeparator();
    commands_.save = addCommand(file, "&Save");
    commands_.saveAs = addCommand(file, QStringLiteral("Save &As\u2026"));
    addShortcut(commands_.open, QKeySequence::Open);
    addShortcut(commands_.save, QKeySequence::Save);
    addShortcut(commands_.saveAs, QKeySequence::SaveAs);
}

void MainWindow::createMenu()
{
    createFileMenu();
    QMenuBar* bar = menuBar();
    commands_.exit = addCommand(bar, "E&xit");
    QMenu* data = bar->addMenu("&Data");
    commands_.fdata = addCommand(data, "&Fdata");
    data->addSeparator();
    commands_.gdata = addCommand(data, "&Gdata");
    data->addSeparator();
    commands_.style = addCommand(data, "&Style");
    QMenu* plot = bar->addMenu("&Plot");
    commands_.screen = addCommand(plot, "&Screen");
    plot->addSeparator();
    commands_.print = addCommand(plot, "&Print");
    commands_.orientation = addCommand(bar, "&Orientation");
    commands_.help = addCommand(bar, "&Help");
    commands_.about = addCommand(bar, "&About");
    // The usual keys beside the mnemonics, from any of the program's windows.
    addShortcut(commands_.exit, QKeySequence(Qt::CTRL | Qt::Key_Q));
    addShortcut(commands_.print, QKeySequence(Qt::CTRL | Qt::Key_P));
    addShortcut(commands_.help, QKeySequence(Qt::Key_F1));
}

void MainWindow::addShortcut(QAction* action, const QKeySequence& keys)
{
    action->setShortcut(keys);
    action->setShortcutContext(Qt::ApplicationShortcut);
}

// Closing the main window ends the program. The windows it owns go first,
// and with them the sheet editors' last commits.
void MainWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    const QList<QWidget*> owned = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : owned)
        if (child->isWindow())
            delete child;
    QApplication::quit();
}
