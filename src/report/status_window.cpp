#include "status_window.h"

#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

namespace report {

StatusWindow::StatusWindow(const QString& title, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("reportStatus"));
    setWindowTitle(title);
    setModal(false);
    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("statusLabel"));
    label_->setMinimumWidth(240);
    label_->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
}

void StatusWindow::showPage(const QString& format, int page) {
    QString text = format;
    text.replace(QLatin1String("%p"), QString::number(page));
    label_->setText(text);
    if (!isVisible()) show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QString StatusWindow::text() const { return label_->text(); }

}  // namespace report
