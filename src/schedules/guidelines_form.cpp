#include "schedules/guidelines_form.h"

#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>

#include "guidelines/worksheet_lines.h"
#include "platform/data_source.h"
#include "platform/db_edit.h"
#include "platform/db_radio_group.h"
#include "platform/dialogs.h"
#include "platform/field_text.h"
#include "schedules/schedule_table.h"

namespace schedules {

namespace {

QString money(guidelines::Cents cents) {
    return QLocale::system().toString(static_cast<double>(cents) / 100.0, 'f', 2);
}

// A figure of another form as the form shows it beside its own box.
QString shownAmount(const QString& stored) {
    const std::optional<double> value = platform::readNumber(stored);
    if (!value) return QString();
    return QLocale::system().toString(*value, 'f', 2);
}

QString sourceDate(const QString& form, const QString& date) {
    return date.trimmed().isEmpty() ? QStringLiteral("(none in %1)").arg(form)
                                    : QStringLiteral("%1: %2").arg(form, date.trimmed());
}

}  // namespace

TF_Guidelines::TF_Guidelines(const ScheduleFormEntry& entry, const ScheduleContext& context,
                             QWidget* owner)
    : ScheduleFrame(entry, context, owner),
      guidelines_(requireTable("T_Guidelines")),
      general_(requireTable("T_GGeneral")),
      income_(requireTable("T_GIncome")),
      family_(requireTable("T_GFamily")) {
    guidelines_.afterInsert = [](storage::TDbfPrimDataset& table) { setGuidelineDefaults(table); };
    buildForm();
    connect(BitBtn1_, &QPushButton::clicked, this, &QDialog::close);
    connect(Print_, &QPushButton::clicked, this, &TF_Guidelines::PrintClick);
    connect(&guidelines_.dataSource(), &platform::DataSource::recordChanged, changes_.get(),
            [this] { recompute(); });
    connect(&guidelines_.dataSource(), &platform::DataSource::fieldValueChanged, changes_.get(),
            [this] { recompute(); });
    resize(1180, 760);
}

storage::TDbfTable& TF_Guidelines::T_Guidelines() const { return guidelines_.table(); }

void TF_Guidelines::watch(platform::DbEdit* edit) {
    connect(edit, &QLineEdit::textChanged, changes_.get(), [this] { recompute(); });
}

void TF_Guidelines::watch(platform::DbRadioGroup* group) {
    connect(group, &platform::DbRadioGroup::chosen, changes_.get(), [this] { recompute(); });
}

void TF_Guidelines::open() {
    guidelines_.open();
    for (ScheduleTable* view : {&general_, &income_, &family_}) view->open();
    auto texts = [](ScheduleTable& view) {
        return view.onMatterRecord() ? recordTexts(view.table()) : FieldTexts();
    };
    sources_.general = texts(general_);
    sources_.income = texts(income_);
    sources_.family = texts(family_);
    // The views are read once: what the form shows does not follow later changes elsewhere.
    for (ScheduleTable* view : {&general_, &income_, &family_}) view->close();

    const QString file = QDir(context().programDirectory)
                             .filePath(QLatin1String(guidelines::ParameterTable::kProgramFile));
    guidelines::Outcome<guidelines::ParameterTable> loaded =
        guidelines::ParameterTable::load(QDir::toNativeSeparators(file).toStdString());
    if (auto* table = std::get_if<guidelines::ParameterTable>(&loaded)) {
        parameters_ = std::move(*table);
    } else {
        parameterProblem_ = QString::fromStdString(std::get<guidelines::Problem>(loaded).text);
    }
    showSources();
    opened_ = true;
    recompute();
}

void TF_Guidelines::setToday(const QDate& today) {
    today_ = today;
    if (opened_) {
        showSources();
        recompute();
    }
}

void TF_Guidelines::showSources() {
    const PartyRole stated = generalDeponentRole(sources_.general);
    DeponentRole_->setVisible(stated == PartyRole::Unknown);
    if (stated == PartyRole::Unknown) {
        DeponentRoleText_->setText(
            QStringLiteral("General Information does not say whether the "
                           "deponent is the plaintiff or the defendant:"));
    } else {
        DeponentRoleText_->setText(QStringLiteral("the %1 (General Information)")
                                       .arg(stated == PartyRole::Plaintiff
                                                ? QStringLiteral("plaintiff")
                                                : QStringLiteral("defendant")));
    }
    const auto lines = guidelineIncomeLines();
    for (size_t i = 0; i < lines.size(); ++i) {
        const QString shown = shownAmount(grossIncomeText(lines[i], sources_));
        grossIncome_[int(i)]->setText(lines[i].incomeField ? shown : QString());
        deponentLines_[int(i)]->setPlaceholderText(shown);
    }
    const auto notCounted = notCountedIncome();
    for (size_t i = 0; i < notCounted.size(); ++i) {
        notCounted_[int(i)]->setText(
            shownAmount(sources_.income.value(QLatin1String(notCounted[i].incomeField))));
    }
    AsOfToday_->setText(QStringLiteral("blank: today, %1")
                            .arg(QLocale::system().toString(today_, QLocale::ShortFormat)));
    MarriedSource_->setText(QStringLiteral("blank: ") +
                            sourceDate(QStringLiteral("Family Data"),
                                       sources_.family.value(QStringLiteral("datemarrie"))));
    CommencedSource_->setText(QStringLiteral("blank: ") +
                              sourceDate(QStringLiteral("General Information"),
                                         sources_.general.value(QStringLiteral("adate_c"))));
}

FieldTexts TF_Guidelines::entries() const {
    FieldTexts texts;
    for (const platform::DbEdit* edit : findChildren<platform::DbEdit*>()) {
        if (!edit->dataField().isEmpty()) texts.insert(edit->dataField(), edit->valueText());
    }
    for (const platform::DbRadioGroup* group : findChildren<platform::DbRadioGroup*>()) {
        if (!group->dataField().isEmpty()) texts.insert(group->dataField(), group->value());
    }
    return texts;
}

void TF_Guidelines::recompute() {
    if (!opened_ || computing_) return;
    computing_ = true;
    worksheet_.reset();
    problem_.clear();
    const FieldTexts now = entries();
    const GuidelineParties parties = guidelineParties(now, sources_);
    DeponentName_->setText(parties.deponentName);
    OtherName_->setPlaceholderText(captionName(
        sources_.general, parties.deponentRole == PartyRole::Plaintiff   ? PartyRole::Defendant
                          : parties.deponentRole == PartyRole::Defendant ? PartyRole::Plaintiff
                                                                         : PartyRole::Unknown));
    if (!parameters_) {
        problem_ =
            QStringLiteral("The guideline parameters cannot be read: %1").arg(parameterProblem_);
    } else {
        guidelines::Outcome<guidelines::GuidelineCase> input = guidelineCase(now, sources_, today_);
        if (auto* problem = std::get_if<guidelines::Problem>(&input)) {
            problem_ = problemText(*problem);
        } else {
            guidelines::Outcome<guidelines::Worksheet> sheet = guidelines::computeWorksheet(
                std::get<guidelines::GuidelineCase>(input), *parameters_);
            if (auto* problem = std::get_if<guidelines::Problem>(&sheet)) {
                problem_ = problemText(*problem);
            } else {
                worksheet_ = std::get<guidelines::Worksheet>(std::move(sheet));
            }
        }
    }
    showResults();
    computing_ = false;
}

void TF_Guidelines::showResults() {
    Problem_->setText(problem_);
    Problem_->setVisible(!problem_.isEmpty());
    Print_->setEnabled(worksheet_.has_value());
    Results_->setRowCount(0);
    if (!worksheet_) {
        ParameterSet_->setText(QString());
        Notes_->setText(QString());
        return;
    }
    const guidelines::ParameterSet& set = worksheet_->parameters;
    ParameterSet_->setText(QStringLiteral("Parameters in force on %1: the set from %2 (%3)")
                               .arg(QString::fromStdString(worksheet_->input.asOf.iso()),
                                    QString::fromStdString(set.effective.iso()),
                                    QString::fromStdString(set.source)));
    auto addRow = [this](const QStringList& texts, bool bold) {
        const int row = Results_->rowCount();
        Results_->insertRow(row);
        for (int column = 0; column < texts.size(); ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            if (column == 1) item->setTextAlignment(Qt::AlignRight | Qt::AlignTop);
            if (column != 1) item->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
            QFont font = item->font();
            font.setBold(bold && column < 2);
            item->setFont(font);
            Results_->setItem(row, column, item);
        }
        return row;
    };
    std::string heading;
    for (const guidelines::WorksheetLine& line : guidelines::worksheetLines(*worksheet_)) {
        if (Results_->rowCount() == 0 || line.section != heading) {
            heading = line.section;
            Results_->setSpan(addRow({QString::fromStdString(heading)}, true), 0, 1, 3);
        }
        addRow({QString::fromStdString(line.label),
                line.amount ? money(*line.amount) : QString::fromStdString(line.value),
                QString::fromStdString(line.basis)},
               line.result);
    }
    Results_->resizeRowsToContents();
    QStringList notes;
    for (const std::string& note : guidelines::worksheetNotes(*worksheet_))
        notes << QStringLiteral("\u2022 ") + QString::fromStdString(note);
    Notes_->setText(notes.join(QLatin1Char('\n')));
}

void TF_Guidelines::PrintClick() {
    recompute();
    if (!worksheet_) {
        platform::dialogs().showMessage(
            QStringLiteral("The worksheet cannot be printed: %1").arg(problem_));
        return;
    }
    if (!context().printGuidelines) return;
    const GuidelineParties parties = guidelineParties(entries(), sources_);
    context().printGuidelines(*worksheet_,
                              {parties.deponentDescription(), parties.otherDescription()}, this);
}

void TF_Guidelines::AsOfCommencementClick() {
    QString commenced = entries().value(QStringLiteral("commenced"));
    if (commenced.isEmpty()) commenced = sources_.general.value(QStringLiteral("adate_c"));
    commenced = commenced.trimmed();
    if (commenced.isEmpty()) {
        platform::dialogs().showMessage(
            QStringLiteral("The matter has no date of commencement in General Information."));
        return;
    }
    platform::runDataAction([&] {
        guidelines_.dataSource().edit();
        T_Guidelines().FieldByName("asof").setAsString(commenced.toStdString());
    });
}

}  // namespace schedules
