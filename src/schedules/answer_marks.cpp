#include "schedules/answer_marks.h"

#include <QStringList>

#include "platform/db_combo_box.h"

namespace schedules {

namespace {

// The first of an item's answering fields.
std::string_view firstField(const catalog::StatementItem& item) {
    if (!item.fields) return {};
    const std::string_view fields = item.fields;
    return fields.substr(0, fields.find(','));
}

}  // namespace

std::vector<const catalog::StatementItem*> formItems(std::string_view form) {
    std::vector<const catalog::StatementItem*> items;
    for (const catalog::StatementItem& item : catalog::statementItems()) {
        if (form == item.form) items.push_back(&item);
    }
    return items;
}

const catalog::StatementItem* formItem(std::string_view form, std::string_view component,
                                       const char* field) {
    for (const catalog::StatementItem* item : formItems(form)) {
        if (component != item->component) continue;
        if (field ? firstField(*item) == field : item->answer == catalog::AnswerKind::Records)
            return item;
    }
    return nullptr;
}

QString markChoiceName(const catalog::StatementItem& item) {
    return QStringLiteral("Mark_") + QLatin1String(item.key);
}

platform::DbComboBox* newMarkChoice(const catalog::StatementItem& item,
                                    platform::DataSource* source, QWidget* parent) {
    auto* choice = new platform::DbComboBox(parent);
    choice->setObjectName(markChoiceName(item));
    QStringList captions = {QStringLiteral("(no mark)")};
    QStringList values = {QString()};
    for (const char* mark : catalog::markValues()) {
        captions << QLatin1String(mark);
        values << QLatin1String(mark);
    }
    choice->setItems(captions, values);
    const QString label =
        QString::fromUtf8(*item.label ? item.label : catalog::sectionTitle(item.section));
    choice->setToolTip(QStringLiteral("Mark for \"%1\": printed in its place when it has no "
                                      "answer")
                           .arg(label));
    choice->setAccessibleName(QStringLiteral("Mark for ") + label);
    choice->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    choice->setDataSource(source);
    choice->setDataField(QLatin1String(item.key));
    return choice;
}

}  // namespace schedules
