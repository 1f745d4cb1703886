#pragma once

#include <QDialog>
#include <QPrinter>

#include "page_model.h"

class QAction;
class QLabel;
class QPrintPreviewWidget;
class QToolBar;

namespace report {

class TReportSystem;

// The modal preview "Report Preview": the pages at the settings' zoom (100%: actual size), page
// and zoom controls, and printing through the system's printer when the settings allow it.
class PreviewDialog : public QDialog {
    Q_OBJECT
  public:
    // Keeps references to the document and the system; both must outlive the dialog.
    PreviewDialog(const Document& document, TReportSystem& system, QWidget* parent = nullptr);

    QPrintPreviewWidget* previewWidget() const { return preview_; }
    QAction* printAction() const { return printAction_; }
    int pageCount() const;
    int currentPage() const;
    // The last error of printing from the preview; empty when it worked or was cancelled.
    const QString& printError() const { return printError_; }

  private:
    QAction* addAction(QToolBar* toolBar, const QString& objectName, const QString& text,
                       const QKeySequence& shortcut = {});
    void print();
    void updatePageLabel();

    const Document& document_;
    TReportSystem& system_;
    QPrinter previewPrinter_;
    QPrintPreviewWidget* preview_;
    QLabel* pageLabel_;
    QAction* printAction_;
    QString printError_;
};

}  // namespace report
