#pragma once

#include <QListWidget>
#include <QStringList>

namespace platform {

// A plain list box of texts with a hint. `chosen` is raised when the user picks an entry: on
// every click on an entry (the one already selected included) and when the keyboard moves the
// selection; selecting from code with selectRow raises nothing. `doubleClickedRow` is raised
// on a double click on an entry.
class DbListBox : public QListWidget {
    Q_OBJECT

  public:
    explicit DbListBox(QWidget* parent = nullptr);

    void setItems(const QStringList& texts);
    QStringList items() const;
    void setHint(const QString& hint) { setToolTip(hint); }
    QString hint() const { return toolTip(); }

    // Makes `row` the selected entry (-1: none) without raising `chosen`.
    void selectRow(int row);
    // The selected entry's text, "" when none.
    QString selectedText() const;

  signals:
    void chosen(int row);
    void doubleClickedRow(int row);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace platform
