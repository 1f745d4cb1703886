#include "platform/db_navigator.h"

#include <QHBoxLayout>
#include <QToolButton>

#include "platform/dialogs.h"

namespace platform {

namespace {

QToolButton* makeButton(QWidget* parent, const char* name, const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(hint);
    button->setAutoRaise(false);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(24, 22);
    return button;
}

}  // namespace

DbNavigator::DbNavigator(QWidget* parent) : QWidget(parent) {
    prior_ = makeButton(this, "PriorButton", QStringLiteral("Prior record"));
    prior_->setArrowType(Qt::LeftArrow);
    next_ = makeButton(this, "NextButton", QStringLiteral("Next record"));
    next_->setArrowType(Qt::RightArrow);
    insert_ = makeButton(this, "InsertButton", QStringLiteral("Insert record"));
    insert_->setText(QStringLiteral("+"));
    delete_ = makeButton(this, "DeleteButton", QStringLiteral("Delete record"));
    delete_->setText(QStringLiteral("-"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton* button : {prior_, next_, insert_, delete_}) layout->addWidget(button);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    connect(prior_, &QToolButton::clicked, this, &DbNavigator::prior);
    connect(next_, &QToolButton::clicked, this, &DbNavigator::next);
    connect(insert_, &QToolButton::clicked, this, &DbNavigator::insert);
    connect(delete_, &QToolButton::clicked, this, &DbNavigator::deleteRecord);
    updateButtons();
}

void DbNavigator::setDataSource(DataSource* source) {
    if (source_) disconnect(source_, nullptr, this, nullptr);
    source_ = source;
    if (source_) {
        connect(source_, &DataSource::recordChanged, this, &DbNavigator::updateButtons);
    }
    updateButtons();
}

void DbNavigator::updateButtons() {
    const bool active = source_ && source_->active();
    prior_->setEnabled(active);
    next_->setEnabled(active);
    insert_->setEnabled(active);
    delete_->setEnabled(active && !source_->dataSet()->IsEmpty());
}

void DbNavigator::prior() {
    if (source_ && source_->active()) runDataAction([this] { source_->dataSet()->Prior(); });
}

void DbNavigator::next() {
    if (source_ && source_->active()) runDataAction([this] { source_->dataSet()->Next(); });
}

void DbNavigator::insert() {
    if (source_ && source_->active()) runDataAction([this] { source_->dataSet()->Insert(); });
}

void DbNavigator::deleteRecord() {
    if (!source_ || !source_->active() || source_->dataSet()->IsEmpty()) return;
    if (!dialogs().confirmOkCancel(QStringLiteral("Delete record?"))) return;
    // The box may have let other code close the table meanwhile.
    if (source_ && source_->active()) runDataAction([this] { source_->dataSet()->Delete(); });
}

}  // namespace platform
