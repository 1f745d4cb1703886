#include "preview_dialog.h"

#include <QAction>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintPreviewWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "document_output.h"
#include "report_system.h"

namespace report {

PreviewDialog::PreviewDialog(const Document& document, TReportSystem& system, QWidget* parent)
    : QDialog(parent),
      document_(document),
      system_(system),
      previewPrinter_(QPrinter::HighResolution) {
    const ReportSystemSettings& settings = system.settings();
    setObjectName(QStringLiteral("reportPreview"));
    setWindowTitle(settings.titlePreview);
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);
    setSizeGripEnabled(true);

    previewPrinter_.setFullPage(true);
    previewPrinter_.setPageLayout(
        QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    preview_ = new QPrintPreviewWidget(&previewPrinter_, this);
    preview_->setObjectName(QStringLiteral("previewWidget"));
    connect(preview_, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter* printer) { paintDocument(*printer, document_, {}, nullptr); });
    connect(preview_, &QPrintPreviewWidget::previewChanged, this, &PreviewDialog::updatePageLabel);

    auto* toolBar = new QToolBar(this);
    toolBar->setObjectName(QStringLiteral("previewToolBar"));
    printAction_ =
        addAction(toolBar, QStringLiteral("printAction"), tr("&Print..."), QKeySequence::Print);
    printAction_->setEnabled(settings.allowPreviewPrint);
    toolBar->addSeparator();
    QAction* first = addAction(toolBar, QStringLiteral("firstPageAction"), tr("First page"));
    QAction* previous = addAction(toolBar, QStringLiteral("previousPageAction"),
                                  tr("Previous page"), QKeySequence::MoveToPreviousPage);
    QAction* next = addAction(toolBar, QStringLiteral("nextPageAction"), tr("Next page"),
                              QKeySequence::MoveToNextPage);
    QAction* last = addAction(toolBar, QStringLiteral("lastPageAction"), tr("Last page"));
    pageLabel_ = new QLabel(toolBar);
    pageLabel_->setObjectName(QStringLiteral("pageLabel"));
    toolBar->addWidget(pageLabel_);
    toolBar->addSeparator();
    QAction* zoomIn =
        addAction(toolBar, QStringLiteral("zoomInAction"), tr("Zoom in"), QKeySequence::ZoomIn);
    QAction* zoomOut =
        addAction(toolBar, QStringLiteral("zoomOutAction"), tr("Zoom out"), QKeySequence::ZoomOut);
    QAction* actualSize = addAction(toolBar, QStringLiteral("actualSizeAction"), tr("100%"));
    QAction* fitWidth = addAction(toolBar, QStringLiteral("fitWidthAction"), tr("Fit width"));
    toolBar->addSeparator();
    QAction* close = addAction(toolBar, QStringLiteral("closeAction"), tr("&Close"),
                               QKeySequence(Qt::Key_Escape));

    const double zoom = settings.previewZoom / 100.0;
    connect(printAction_, &QAction::triggered, this, &PreviewDialog::print);
    connect(first, &QAction::triggered, this, [this] {
        preview_->setCurrentPage(1);
        updatePageLabel();
    });
    connect(previous, &QAction::triggered, this, [this] {
        preview_->setCurrentPage(preview_->currentPage() - 1);
        updatePageLabel();
    });
    connect(next, &QAction::triggered, this, [this] {
        preview_->setCurrentPage(preview_->currentPage() + 1);
        updatePageLabel();
    });
    connect(last, &QAction::triggered, this, [this] {
        preview_->setCurrentPage(pageCount());
        updatePageLabel();
    });
    connect(zoomIn, &QAction::triggered, preview_, [this] { preview_->zoomIn(); });
    connect(zoomOut, &QAction::triggered, preview_, [this] { preview_->zoomOut(); });
    connect(actualSize, &QAction::triggered, preview_, [this, zoom] {
        preview_->setZoomMode(QPrintPreviewWidget::CustomZoom);
        preview_->setZoomFactor(zoom > 0 ? zoom : 1.0);
    });
    connect(fitWidth, &QAction::triggered, preview_, &QPrintPreviewWidget::fitToWidth);
    connect(close, &QAction::triggered, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(toolBar);
    layout->addWidget(preview_, 1);

    preview_->setZoomMode(QPrintPreviewWidget::CustomZoom);
    preview_->setZoomFactor(zoom > 0 ? zoom : 1.0);
    resize(900, 700);
    if (settings.previewMaximized) setWindowState(windowState() | Qt::WindowMaximized);
}

QAction* PreviewDialog::addAction(QToolBar* toolBar, const QString& objectName, const QString& text,
                                  const QKeySequence& shortcut) {
    QAction* action = toolBar->addAction(text);
    action->setObjectName(objectName);
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    return action;
}

int PreviewDialog::pageCount() const { return static_cast<int>(document_.pages.size()); }

int PreviewDialog::currentPage() const { return preview_->currentPage(); }

void PreviewDialog::updatePageLabel() {
    pageLabel_->setText(tr("Page %1 of %2").arg(preview_->currentPage()).arg(pageCount()));
}

void PreviewDialog::print() {
    printError_.clear();
    if (!system_.settings().allowPreviewPrint) return;
    if (!system_.runPrintDialog(this)) return;
    system_.printDocument(document_, this, &printError_);
}

}  // namespace report
