#include "dbf_table.h"

#include "dbf_fields.h"
#include "dbf_file.h"
#include "index_list.h"
#include "indexed_table.h"
#include "record.h"

namespace storage {

TDbfFileDataSet::TDbfFileDataSet(std::string name, Env* env)
    : TDbfCDataSet(std::move(name)), env_(env) {}

TDbfFileDataSet::~TDbfFileDataSet() {
    try {
        Close();
    } catch (...) {
        // A failure while closing has been reported; nothing more can be done here.
    }
}

std::string TDbfFileDataSet::openPath() const {
    std::string path = DbfFileName();
    // "name." names the file without extension, as Windows reads it.
    if (!path.empty() && path.back() == '.') path.pop_back();
    return path;
}

void TDbfFileDataSet::createTable(const std::string& path) {
    if (!DbfFields) throw EDbfError("DbfFieldList is Nil trying to create a database");
    if (DbfFields->empty()) throw EDbfError("FieldList.Count is <= 0 trying to create a database");
    auto fields = parseDbfFields(*DbfFields, Name(), showMessage);
    // A table another workstation has just created is opened as found.
    if (!fields) throw EDbfError("Could not create \"" + path + "\"");
    // A table with tags is born with its production index flag: a component that opens it for
    // reading only (the matter selection's list) cannot set it afterwards.
    std::vector<IndexListEntry> tags;
    const bool indexed = parseIndexList(IndexList, &tags).ok() && !tags.empty();
    const Status status = DbfFile::createNew(env_, path, *fields, indexed);
    if (!status.ok() && !status.alreadyExists()) {
        throw EDbfError("Could not create \"" + path + "\"");
    }
}

void TDbfFileDataSet::openFiles() {
    const std::string path = openPath();
    if (path.empty()) throw EDbfError("Missing DbfFilename property");
    if (CreateIfNotFound && !env_->fileExists(path)) createTable(path);

    check(DbfFile::open(env_, path, ReadOnly ? Access::ReadOnly : Access::ReadWrite,
                        Exclusive ? Share::Exclusive : Share::Shared, &file_));
    if (file_->fields().empty()) {
        file_.reset();
        throw EDbfError(Name() + ".DbfFields undefined. Set Active to TRUE");
    }
    setFieldLayout(file_->fields(), file_->recordLength());
    memoFields_.clear();
    for (int i = 0; i < static_cast<int>(file_->fields().size()); ++i)
        if (isMemoType(file_->fields()[i].type)) memoFields_.push_back(i);
    setTable(file_.get());

    IndexedTable::Options options;
    options.indexList = IndexList;
    options.lookupTags = LookupTags;
    options.mode = CreateIndex;
    options.showProgress = ShowProgress;
    options.beforeMakeIndex = [this] {
        if (OnBeforeMakeIndex) OnBeforeMakeIndex(*this);
    };
    options.afterMakeIndex = [this] {
        if (OnAfterMakeIndex) OnAfterMakeIndex(*this);
    };
    Status status = IndexedTable::open(file_.get(), options, &indexes_);
    if (!status.ok()) {
        file_->close();
        file_.reset();
        setTable(nullptr);
        clearFieldLayout();
        throw datasetError(status);
    }
    // One record per key in unique tags: a new record whose key another workstation's record
    // took meanwhile is laid onto that record (see appendWithLock).
    indexes_->setRefuseTakenKeys(true);
    setOrder(NaturalOrder ? makeRecordNumberOrder(file_.get()) : indexes_->makeOrder());
    setState(DataSetState::Browse);
}

KeyedSource* TDbfFileDataSet::keyedSource(const std::string& field) {
    return indexes_ ? indexes_->keyedSource(field) : nullptr;
}

void TDbfFileDataSet::closeFiles() {
    if (!file_) return;
    // The table closes first, with its indexes still watching: its header write at closing
    // changes the file, which the production index records.
    Status status = file_->close();
    file_->setIndexHook(nullptr);
    Status indexStatus = indexes_ ? indexes_->close() : Status::OK();
    indexes_.reset();
    file_.reset();
    check(status);
    check(indexStatus);
}

std::string TDbfFileDataSet::readMemo(const uint8_t* record, int field) {
    std::string text;
    check(file_->readMemo(record, field, &text));
    return text;
}

void TDbfFileDataSet::IndexOnOne(const std::string& expression, const std::string& name) {
    requireActive("IndexOnOne");
    CheckBrowseMode();
    Status status = indexes_->buildTemporary(expression, name);
    if (!status.ok()) throw datasetError(status);
    setOrder(indexes_->makeOrder());
    currentRecordWritten();
}

}  // namespace storage
