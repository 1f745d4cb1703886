#pragma once

#include <QHash>
#include <QString>

#include "catalog/statement_items.h"

namespace storage {
class TDbfCDataSet;
}

namespace printing {

// A matter's record of "Marks.dbf" as read: its answer marks and how its statement closes.
class MatterMarks {
  public:
    // The stored mark of `item` (right-trimmed; "" for none).
    QString mark(const catalog::StatementItem& item) const;
    // True when the statement closes with the affirmation of CPLR 2106, false for the jurat.
    bool affirmation() const;

    // The fields of the record `table` stands on; an empty or closed table gives none.
    static MatterMarks fromRecord(storage::TDbfCDataSet& table);
    // The record of `matter` (letter case counting) in "Marks.dbf" of `dataDirectory` (ending
    // with a separator), found through its `matter` tag. A directory without the file, or a
    // matter without a record, gives no marks and the jurat; nothing is created. Errors of the
    // table component propagate.
    static MatterMarks stored(const QString& dataDirectory, const QString& matter);

  private:
    QHash<QString, QString> fields_;  // lower-case field name -> text
};

}  // namespace printing
