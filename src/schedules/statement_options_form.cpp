#include "schedules/statement_options_form.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "catalog/statement_items.h"
#include "platform/db_radio_group.h"
#include "schedules/form_controls.h"
#include "schedules/schedule_table.h"

namespace schedules {

TF_StatementOptions::TF_StatementOptions(const ScheduleFormEntry& entry,
                                         const ScheduleContext& context, QWidget* owner)
    : ScheduleFrame(entry, context, owner), options_(requireTable("T_Marks")) {
    options_.dropEmptyNewRecords();
    resize(520, 300);
    auto* layout = new QVBoxLayout(this);

    oath_ = bound(new platform::DbRadioGroup(QStringLiteral("Oath"), this), "OathChoice",
                  &options_.dataSource(), catalog::kOathField);
    oath_->setItems({QStringLiteral("Sworn before a notary public (the jurat)"),
                     QStringLiteral("Affirmed under the penalties of perjury (CPLR 2106)")},
                    {QString(), QLatin1String(catalog::kOathAffirmation)});
    layout->addWidget(oath_);

    auto* note = new QLabel(
        QStringLiteral("Since 1 January 2024 any person may affirm the statement under the "
                       "penalties of perjury instead of swearing to it before a notary public "
                       "(CPLR 2106). The affirmation prints the statute's words above the "
                       "affiant's signature and needs no notary.\n\n"
                       "The choice is kept for this matter. Until it is made, the statement "
                       "closes with the jurat."),
        this);
    note->setObjectName(QStringLiteral("OathNote"));
    note->setWordWrap(true);
    layout->addWidget(note);
    layout->addStretch(1);

    close_ = new QPushButton(QStringLiteral("&Close"), this);
    close_->setObjectName(QStringLiteral("BitBtn1"));
    close_->setAutoDefault(false);
    connect(close_, &QPushButton::clicked, this, &QDialog::close);
    layout->addWidget(close_, 0, Qt::AlignRight);
}

void TF_StatementOptions::open() { options_.open(); }

}  // namespace schedules
