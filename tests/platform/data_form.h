#pragma once
// A table in a temporary directory with a data source and a window for data-aware controls, and
// the base of the controls' test classes.

#include <QObject>
#include <QStatusBar>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "platform/data_source.h"
#include "storage/dbf_table.h"
#include "storage/status.h"

namespace test_platform {

using platform::DataSource;
using storage::TDbfTable;

const std::vector<std::string> kFields = {"matter,C,50,0", "etype,C,25,0",  "expense,C,65,0",
                                          "amt,N,12,2",    "notes,M,10,0",  "xflag,C,1,0",
                                          "flag,L,1,0",    "custody,C,8,0", "dob,C,10,0"};

// A table in a temporary directory with a data source and a window for the controls. The
// window (and the controls in it) goes before the table.
struct Form {
    explicit Form(const QString& directory, const QString& file = "Expenses.dbf") {
        table = std::make_unique<TDbfTable>("T_Expenses");
        table->DbfFields = kFields;
        table->HideDeletedRecs = true;
        table->setDbfFileName((directory + "/" + file).toStdString());
        table->Open();
        window = std::make_unique<QWidget>();
        window->setLayout(new QVBoxLayout);
        statusBar = new QStatusBar(window.get());
        source = new DataSource(window.get());
        source->setDataSet(table.get());
    }
    ~Form() {
        window.reset();
        table->Close();
    }

    template <typename Control>
    Control* add(const QString& name, const QString& field) {
        auto* control = new Control(window.get());
        control->setObjectName(name);
        control->setDataSource(source);
        if constexpr (requires { control->setDataField(field); }) control->setDataField(field);
        window->layout()->addWidget(control);
        return control;
    }

    void append(const std::string& matter, const std::string& etype, const std::string& expense,
                double amt = 0) {
        table->Append();
        table->FieldByName("matter").setAsString(matter);
        table->FieldByName("etype").setAsString(etype);
        table->FieldByName("expense").setAsString(expense);
        if (amt != 0) table->FieldByName("amt").setAsFloat(amt);
        table->Post();
    }
    std::string text(const char* field) { return table->FieldByName(field).AsString(); }

    std::unique_ptr<TDbfTable> table;
    std::unique_ptr<QWidget> window;
    DataSource* source;
    QStatusBar* statusBar;  // the window's status line
};

// The base of the controls' test classes: each test function runs in a temporary directory of
// its own and fails when the storage layer reported a fatal error meanwhile (none is expected).
class DirectoryTest : public QObject {
    Q_OBJECT

  protected:
    QString dir() const { return dir_->path(); }

  private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        fatal_.clear();
        previous_ = storage::setFatalHandler(
            [this](int, const std::string& message) { fatal_ << QString::fromStdString(message); });
        QVERIFY(dir_->isValid());
    }
    void cleanup() {
        storage::setFatalHandler(previous_);
        dir_.reset();
        QVERIFY2(fatal_.isEmpty(), qPrintable(fatal_.join("; ")));
    }

  private:
    std::unique_ptr<QTemporaryDir> dir_;
    QStringList fatal_;
    storage::FatalHandler previous_;
};

}  // namespace test_platform
