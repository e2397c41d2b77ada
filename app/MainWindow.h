#pragma once
#include <QMainWindow>
#include <map>

#include "app/PictureWidget.h"

class Application;
class QAction;

// The main window "kelvo": the menu, and a client area that a declined
// print draws into. It owns the printing questions.
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Application& app);

    PictureWidget& page() { return *page_; }
    QAction* action(int id) const;
    void setOrientationEnabled(bool on);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenu();
    QAction* addCommand(QWidget* menu, const QString& text, int id);

    Application& app_;
    PictureWidget* page_;
    std::map<int, QAction*> actions_;
};
