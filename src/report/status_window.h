#pragma once

#include <QDialog>

class QLabel;

namespace report {

// The small window that shows which page is being generated or printed. It is not modal and
// takes no input; showPage lets it repaint between pages.
class StatusWindow : public QDialog {
    Q_OBJECT
  public:
    StatusWindow(const QString& title, QWidget* parent);
    // Shows `format` with "%p" replaced by the page number.
    void showPage(const QString& format, int page);
    QString text() const;

  private:
    QLabel* label_;
};

}  // namespace report
