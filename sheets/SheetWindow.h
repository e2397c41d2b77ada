#pragma once
#include <QWidget>
#include <functional>

#include "sheets/DataSheet.h"

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// The editor of one data sheet: a list with a row per entry line, a
// one-line edit of the row last double-clicked, and an "update" button
// that writes the list back into the sheet. Closing it writes it back too.
class SheetWindow final : public QWidget {
    Q_OBJECT
public:
    SheetWindow(const QString& caption, DataSheet& sheet, QWidget* owner);
    ~SheetWindow() override;

    void commitSheetList();
    int selected() const { return selected_; }
    QListWidget* list() const { return list_; }
    QLineEdit* edit() const { return edit_; }
    QPushButton* button() const { return button_; }

    // Run when the window goes, after its list has been committed.
    std::function<void()> onDestroyed;

    // The longest row the edit passes on to the list.
    static constexpr int bufferLimit = 118;

private:
    void openSheetWindow();
    void fillSheetList();
    void pickRow(QListWidgetItem* item);
    void rewriteSelectedRow(const QString& text);
    int entryCount() const;

    DataSheet& sheet_;
    QListWidget* list_ = nullptr;
    QLineEdit* edit_ = nullptr;
    QPushButton* button_ = nullptr;
    int controlsReady_ = 0;
    int selected_ = 0;
};
