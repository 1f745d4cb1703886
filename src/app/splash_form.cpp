#include "app/splash_form.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/colors.h"
#include "platform/icons.h"

namespace app {

namespace {
QLabel* addLabel(QWidget* parent, QVBoxLayout* layout, const char* name, const QString& text,
                 bool bold) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignCenter);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        font.setPointSizeF(font.pointSizeF() * 1.25);
        label->setFont(font);
    }
    layout->addWidget(label);
    return label;
}
}  // namespace

TF_Splash::TF_Splash(QWidget* owner) : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("F_Splash"));
    setModal(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, platform::skyBlueColor());
    palette.setColor(QPalette::Light, platform::skyBlueColor().lighter(135));
    palette.setColor(QPalette::Dark, platform::skyBlueColor().darker(170));
    setPalette(palette);
    setAutoFillBackground(true);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Panel1"));
    bevel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    bevel->setLineWidth(3);
    outer->addWidget(bevel);

    auto* layout = new QVBoxLayout(bevel);
    layout->setContentsMargins(28, 20, 28, 16);
    layout->setSpacing(6);
    addLabel(bevel, layout, "Label1", QStringLiteral("Statement of Net Worth (DRL \u00a7 236)"),
             true);
    addLabel(bevel, layout, "Label2", QStringLiteral("Version 3.0"), true);
    QLabel* logo = addLabel(bevel, layout, "Image1", QString(), false);
    logo->setPixmap(platform::logoPixmap(240));
    addLabel(bevel, layout, "Label3",
             QStringLiteral("Published by Quillmark, Inc., legal forms software"), false);
    addLabel(bevel, layout, "Label4",
             QStringLiteral("Support: support@quillmark.example  \u00b7  (518) 555-0136"), false);
    addLabel(bevel, layout, "Label5",
             QStringLiteral("Weekdays from 9 a.m. to 5 p.m., Eastern time"), false);

    auto* close =
        new QPushButton(platform::icon(platform::Icon::OkMark), QStringLiteral("&Close"), bevel);
    close->setObjectName(QStringLiteral("BitBtn1"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addSpacing(8);
    layout->addWidget(close, 0, Qt::AlignHCenter);
}

void TF_Splash::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QWidget* owner = parentWidget()) {
        const QRect area = owner->window()->frameGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

}  // namespace app
