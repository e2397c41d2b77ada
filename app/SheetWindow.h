#pragma once
#include <QWidget>

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

    QListWidget* list() const { return list_; }
    QLineEdit* edit() const { return edit_; }
    QPushButton* button() const { return button_; }

    // The longest row the edit passes on to the list.
    static constexpr int bufferLimit = 118;

public slots:
    void commit();

private:
    void createControls();
    void fillList();
    void pickRow(QListWidgetItem* item);
    void rewriteSelectedRow(const QString& text);

    DataSheet& sheet_;
    QListWidget* list_ = nullptr;
    QLineEdit* edit_ = nullptr;
    QPushButton* button_ = nullptr;
    // The list row the edit rewrites: row 0 until a row is double-clicked.
    int selected_ = 0;
};
