#pragma once
// The print job's context for one matter of an office's data directory, as the Print command
// builds it: the General Information table standing on the matter, the matter filter installed
// on every component, the PDF written beside the directory.
#include <QString>

#include "app/matter_filters.h"
#include "catalog/table_catalog.h"
#include "office_data.h"
#include "printing/print_components.h"
#include "printing/print_job.h"
#include "storage/dbf_table.h"

namespace bench_data {

class MatterPrint {
  public:
    MatterPrint(const OfficeData& data, const QString& matter)
        : general_(catalog::generalTable().component) {
        catalog::applyDefinition(general_, catalog::generalTable(), data.directory().toStdString());
        general_.Open();
        found_ = general_.Locate("matter", {matter.toStdString()}, 0);
        context_.programDirectory = QStringLiteral(PROGRAM_DIR);
        context_.dataDirectory = data.directory();
        context_.currentMatter = [matter] { return matter; };
        context_.general = &general_;
        context_.installMatterFilter = [matter](const QString& component,
                                                storage::TDbfCDataSet& t) {
            const app::CurrentMatterReader reader = [matter](void*) { return matter; };
            t.SetFilterToCB(app::matterFilter(component, t, reader), nullptr,
                            app::matterKey(reader));
        };
        context_.components = &components_;
        context_.pdfFile = data.scratch("statement.pdf");
    }
    ~MatterPrint() { general_.Close(); }
    MatterPrint(const MatterPrint&) = delete;
    MatterPrint& operator=(const MatterPrint&) = delete;

    // Whether General.dbf holds the matter.
    bool found() const { return found_; }
    const printing::PrintContext& context() const { return context_; }

  private:
    storage::TDbfTable general_;
    bool found_ = false;
    printing::PrintComponents components_;
    printing::PrintContext context_;
};

}  // namespace bench_data
