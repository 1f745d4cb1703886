#include "platform/db_grid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>

#include "platform/control_text.h"
#include "platform/dialogs.h"
#include "platform/field_text.h"

namespace platform {

namespace {

// Cell editors: the record goes into editing when an editor opens (no editor when it cannot),
// and the editor takes at most what the field holds.
class DbGridDelegate : public QStyledItemDelegate {
  public:
    explicit DbGridDelegate(DbGridModel* model, QObject* parent)
        : QStyledItemDelegate(parent), model_(model) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        if (!model_->beginEdit(index.row())) return nullptr;
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        auto* line = qobject_cast<QLineEdit*>(editor);
        DataSource* source = model_->dataSource();
        const auto& columns = model_->columns();
        if (line && source && source->active() && index.column() < int(columns.size())) {
            if (storage::TField* field =
                    source->dataSet()->FindField(columns[index.column()].field.toStdString())) {
                // A number longer than the field is kept for correction (see setData).
                if (!isMemoField(*field) && !isNumericField(*field))
                    line->setMaxLength(field->Size());
                line->setValidator(numberValidator(*field, line));
                line->setAlignment(columns[index.column()].alignment);
                connect(line, &QLineEdit::textEdited, line, [line] { replaceUnstorable(line); });
            }
        }
        return editor;
    }

  private:
    DbGridModel* model_;
};

}  // namespace

DbGrid::DbGrid(QWidget* parent) : QTableView(parent), model_(new DbGridModel(this)) {
    setModel(model_);
    setItemDelegate(new DbGridDelegate(model_, this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    connect(model_, &DbGridModel::currentRowChanged, this, &DbGrid::followDataSet);
    connect(model_, &QAbstractItemModel::modelReset, this, &DbGrid::applyColumnWidths);
}

void DbGrid::setDataSource(DataSource* source) {
    if (DataSource* old = model_->dataSource()) disconnect(old, nullptr, this, nullptr);
    if (source) {
        connect(source, &DataSource::aboutToUpdateData, this, &DbGrid::commitOpenEditor,
                Qt::DirectConnection);
    }
    model_->setDataSource(source);
}

void DbGrid::setColumns(std::vector<DbGridColumn> columns) {
    model_->setColumns(std::move(columns));
    applyColumnWidths();
}

void DbGrid::applyColumnWidths() {
    const auto& columns = model_->columns();
    for (int i = 0; i < int(columns.size()); ++i) {
        horizontalHeader()->resizeSection(i, columns[i].width);
    }
}

void DbGrid::insertRecord() {
    DataSource* source = model_->dataSource();
    if (!source || !source->active()) return;
    commitOpenEditor();
    runDataAction([source] { source->dataSet()->Insert(); });
}

void DbGrid::deleteRecord() {
    DataSource* source = model_->dataSource();
    if (!source || !source->active()) return;
    storage::TDbfCDataSet* set = source->dataSet();
    if (set->IsEmpty()) return;
    if (!dialogs().confirmOkCancel(QStringLiteral("Delete record?"))) return;
    if (state() == EditingState) {
        if (QWidget* editor = indexWidget(currentIndex())) {
            closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
        }
    }
    if (source->active()) runDataAction([set] { set->Delete(); });
}

void DbGrid::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Insert && modifiers == Qt::NoModifier) {
        insertRecord();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Delete && modifiers == Qt::ControlModifier) {
        deleteRecord();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void DbGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    // The base class commits and closes an editor of the row left.
    QTableView::currentChanged(current, previous);
    if (following_ || !current.isValid() || current.row() == model_->currentRow()) return;
    if (!model_->moveToRow(current.row())) {
        // The move did not happen (the pending change stayed, or the rows were stale): show
        // the data set's own record again once this change of the current cell is over.
        QMetaObject::invokeMethod(
            this, [this] { followDataSet(model_->currentRow()); }, Qt::QueuedConnection);
    }
}

void DbGrid::followDataSet(int row) {
    following_ = true;
    if (row < 0) {
        selectionModel()->clearCurrentIndex();
        clearSelection();
    } else {
        const int column = std::max(0, currentIndex().column());
        setCurrentIndex(model_->index(row, column));
    }
    following_ = false;
}

void DbGrid::commitOpenEditor() {
    if (state() != EditingState) return;
    if (QWidget* editor = indexWidget(currentIndex())) commitData(editor);
}

}  // namespace platform
