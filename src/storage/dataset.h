#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "field.h"
#include "record.h"

namespace storage {

// What becomes of a failure in the table component, the same at every call site:
// - its own failures (a value a field cannot take, an unknown field name, a write outside edit or
//   insert state, a definition it cannot create a table from) raise EDbfError with their text;
// - a failure of the file layer beneath that the component answers for, because the caller
//   asked for something that cannot be had (an index that cannot be opened or built, a key
//   expression that does not compile), raises EDbfError "Dataset error: " followed by the file
//   layer's message (datasetError in filtered_dataset.h);
// - every other failure the file layer reports (reading, writing, opening or closing the table
//   and memo files) is its own and ends the program: the fatal handler shows it ("Program
//   halted.") and exits with its code; if a handler returns, FatalError is thrown so that
//   nothing goes on as if it had worked (check in filtered_dataset.h);
// - an operation on a table that is not open ends the program alike ("Database is not open");
// - a lock that cannot be had shows "Lock failed [<operation>]" and leaves the record unwritten;
// - an operation a handler abandons on purpose raises EAbort, which ends it silently.
// The forms run what the user starts through platform::runDataAction, which shows EDbfError in
// a message box and ignores EAbort.

// Errors of the table component.
class EDbfError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Abandons the operation in progress without a message: a BeforePost handler throws it to
// abandon a post, and it travels up to the event loop, which ignores it.
class EAbort : public std::exception {
  public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

enum class DataSetState { Inactive, Browse, Edit, Insert };

// The link between a data set and whatever shows its fields (a data source and its controls).
class DataLink {
  public:
    virtual ~DataLink() = default;
    // The record is about to be written or left: the controls store their values into it and
    // the data source's update event runs (which may cancel the change).
    virtual void updateData() = 0;
    // The data set stands on another record, or its state changed: show every field again.
    virtual void dataChanged() = 0;
    // Field `field` was set: show that field again (and only that one, so that a control whose
    // typed text is not stored yet keeps it).
    virtual void fieldChanged(int field) = 0;
    // The data set is being destroyed; the link must forget it.
    virtual void dataSetDestroyed() {}
    // Posting found that another workstation changed `fields` (indexes of the data set's
    // fields) since this one read the record, to other values than this one's. True writes this
    // workstation's values over theirs, false keeps theirs for those fields; nullopt leaves the
    // answer to the next link. A data source asks the user.
    virtual std::optional<bool> replaceOtherValues(const std::vector<int>& fields) {
        (void)fields;
        return std::nullopt;
    }
    // The record being posted was deleted at another workstation meanwhile and nothing was
    // written. True when the link told the user.
    virtual bool toldDeletedElsewhere() { return false; }
};

class TDbfPrimDataset;

// A text prepared once for comparing with fields over many records: kept in UTF-8 and, when code
// page 437 holds every one of its characters, as the bytes a field storing it holds.
class FieldText {
  public:
    explicit FieldText(std::string_view utf8 = {});

    const std::string& utf8() const { return utf8_; }
    // nullopt when the text cannot be stored as it is (no field ever reads back as it).
    const std::optional<std::string>& oem() const { return oem_; }

  private:
    std::string utf8_;
    std::optional<std::string> oem_;
};

// One field of the open table, read and set through its data set's current record.
class TField {
  public:
    TField(TDbfPrimDataset* owner, int index) : owner_(owner), index_(index) {}

    const FieldDescriptor& descriptor() const;
    const std::string& FieldName() const { return descriptor().name; }
    char DataType() const { return descriptor().type; }
    int Size() const { return descriptor().width; }
    int Decimals() const { return descriptor().decimals; }
    int Index() const { return index_; }

    // Character fields without trailing blanks; numbers in plain digits, the shortest text that
    // reads back the same ("" when blank); dates as "YYYYMMDD" ("" when empty); logicals "T" or
    // "F"; memo fields their text. The reference stays valid until the next read of this field.
    const std::string& AsString() const;
    // Exactly AsString() == text.utf8(), letter case included; a character field compares its
    // stored bytes with text.oem() and converts nothing.
    bool AsStringEquals(const FieldText& text) const;
    double AsFloat() const;
    int64_t AsInteger() const;
    bool AsBoolean() const;
    std::optional<Date> AsDate() const;
    bool IsNull() const;

    // Setting needs the data set in edit or insert mode ("Dataset not in edit or insert mode").
    // Text is converted as the field's type reads it: numbers from their digits, dates from
    // "YYYYMMDD" or "YYYY-MM-DD", logicals from T/F/Y/N; "" blanks the field. Text that is not
    // a number or a date, and a value the field cannot hold (too many digits, no such day),
    // raise EDbfError and leave the field as it was.
    void setAsString(std::string_view text);
    void setAsFloat(double value);
    void setAsInteger(int64_t value);
    void setAsBoolean(bool value);
    void setAsDate(std::optional<Date> value);
    void Clear();

  private:
    // Runs `write` on the field's bytes; when it fails, puts them back and refuses `shown`.
    void writeChecked(const std::function<bool()>& write, std::string_view shown);

    TDbfPrimDataset* owner_;
    int index_;
    mutable std::string text_;
};

// The record-buffer and field-data layer of a data set: state, current record, fields, the
// edit/insert/post/cancel protocol, events and data links. The storage beneath (reading and
// writing records) comes from the classes derived from it.
class TDbfPrimDataset {
  public:
    explicit TDbfPrimDataset(std::string name);
    virtual ~TDbfPrimDataset();
    TDbfPrimDataset(const TDbfPrimDataset&) = delete;
    TDbfPrimDataset& operator=(const TDbfPrimDataset&) = delete;

    const std::string& Name() const { return name_; }
    DataSetState State() const { return state_; }
    bool Active() const { return state_ != DataSetState::Inactive; }
    bool Modified() const { return modified_; }

    // Fields, by name in any letter case. FieldByName raises EDbfError for an unknown name.
    int FieldCount() const { return static_cast<int>(fields_.size()); }
    TField& Fields(int index) { return *fields_.at(index); }
    TField& FieldByName(std::string_view name);
    TField* FindField(std::string_view name);
    // Changes whenever the fields are made anew (the table opened or closed), so a field found
    // by name may be kept while it stays the same.
    uint64_t FieldLayoutVersion() const { return layoutVersion_; }

    // Events. BeforePost may throw EAbort to abandon the post.
    std::function<void(TDbfPrimDataset&)> BeforePost;
    std::function<void(TDbfPrimDataset&)> AfterPost;
    std::function<void(TDbfPrimDataset&)> AfterInsert;
    std::function<void(TDbfPrimDataset&)> AfterScroll;
    std::function<void(TDbfPrimDataset&)> AfterCancel;

    // Not owned. Links are told before a record is written or left, and after every change.
    void addDataLink(DataLink* link);
    void removeDataLink(DataLink* link);

    // Starts a new record (after finishing a pending change as moves do); AfterInsert runs.
    void Insert();
    void Append();
    // Puts the current record into editing; on a data set without a visible record this starts
    // an insert instead. Nothing happens in edit or insert state.
    void Edit();
    // Lets the links store their values, runs BeforePost, then writes the record. In browse
    // state nothing happens. A refused lock leaves the change pending; a record that another
    // workstation deleted meanwhile is not written (see the derived class).
    void Post();
    // Drops the pending change: an edited record gets back its stored values, a new record is
    // forgotten and the data set returns to the record it stood on.
    void Cancel();
    // The pending-change check of every move: links store their values, then the record is
    // posted if it was modified and the change cancelled if not.
    void CheckBrowseMode();
    // Runs the links' updateData (used by CheckBrowseMode and Post).
    void UpdateRecord();
    // Reads each visible record in order without moving: while `visit` runs, field reads give
    // that record's stored values. State, position and pending change stay as they are; `visit`
    // returns false to stop.
    virtual void forEachVisible(const std::function<bool(uint32_t recno)>& visit) = 0;

    uint32_t RecNo() const { return recno_; }

  protected:
    friend class TField;

    // What writing the pending change came to.
    enum class WriteOutcome {
        Written,  // the record stands as stored now (recno() its number)
        Refused,  // a lock was refused: the change stays pending
        Dropped,  // nothing was written and the change is dropped; the derived class has loaded
                  // the record it stands on (loadCurrent) and tells why in postDropped
    };

    // The derived classes supply the storage.
    // Reads memo field `field` of the stored record `record`.
    virtual std::string readMemo(const uint8_t* record, int field) = 0;
    // Writes the record in `buffer` (new when `inserting`), with the pending memo texts.
    virtual WriteOutcome writeCurrent(bool inserting) = 0;
    // After a Dropped write, once the data set is browsing again: says why.
    virtual void postDropped() {}
    // Tests whether the record is one the data set shows; `record` may be the edit buffer.
    virtual bool isVisible(uint32_t recno, const uint8_t* record) = 0;
    // Moves back to a visible record after a new record was cancelled.
    virtual void restorePosition() = 0;
    // Whether fields may be set at all ("Field '%s' cannot be modified" when not).
    virtual bool fieldsReadOnly() const { return false; }
    // Raises "Database is not open [<name>.<operation>]" and ends the program.
    [[noreturn]] void notOpen(const char* operation) const;

    // Setting up after the table was opened.
    void setFieldLayout(const std::vector<FieldDescriptor>& descriptors, uint16_t recordLength);
    void clearFieldLayout();
    const std::vector<FieldDescriptor>& descriptors() const { return descriptors_; }
    void setState(DataSetState state);

    // The current record: raw bytes as stored, plus memo texts loaded on first read.
    uint8_t* buffer() { return buffer_.data(); }
    const uint8_t* buffer() const { return buffer_.data(); }
    uint16_t recordLength() const { return static_cast<uint16_t>(buffer_.size()); }
    // Makes `record` (stored bytes of record `recno`, 0 for none) the current record.
    void loadCurrent(uint32_t recno, const uint8_t* record);
    void setRecNo(uint32_t recno) { recno_ = recno; }
    bool hasCurrent() const { return recno_ != 0; }
    // Memo texts of the pending change, by field index; nullopt when not set.
    const std::optional<std::string>& pendingMemo(int field) const { return memos_[field]; }
    bool memoChanged(int field) const { return memoChanged_[field]; }
    // The record as it was read when the pending edit began (its stored bytes), and the text a
    // changed memo field had when it was read (nullopt for fields not changed, and for a memo
    // set without its text ever being read).
    const uint8_t* recordAsRead() const { return savedBuffer_.data(); }
    const std::optional<std::string>& memoAsRead(int field) const { return memosAsRead_[field]; }
    // The links' answers (see DataLink), asked in order until one answers.
    std::optional<bool> askLinksToReplace(const std::vector<int>& fields);
    bool tellLinksDeletedElsewhere();

    // While a filter routine runs, field reads see the candidate record.
    class CandidateScope {
      public:
        CandidateScope(TDbfPrimDataset& set, uint32_t recno, const uint8_t* record);
        ~CandidateScope();

      private:
        TDbfPrimDataset& set_;
        const uint8_t* savedRecord_;
        uint32_t savedRecno_;
    };

    void notifyLinks();
    void afterScroll();

  private:
    // Post after the links stored their values.
    void postUpdated();
    const uint8_t* readRecordForFields() const { return activeRecord_; }
    void checkWritable(int field);
    void fieldChanged(int field);
    const std::string& memoText(int field) const;
    void beginInsert();

    std::string name_;
    DataSetState state_ = DataSetState::Inactive;
    bool modified_ = false;
    std::vector<FieldDescriptor> descriptors_;
    std::vector<std::unique_ptr<TField>> fields_;
    uint64_t layoutVersion_ = 0;
    std::vector<uint8_t> buffer_;
    std::vector<uint8_t> savedBuffer_;  // the stored record while it is edited
    uint32_t savedRecno_ = 0;           // the record stood on before an insert
    uint32_t recno_ = 0;
    const uint8_t* activeRecord_ = nullptr;  // what field reads see
    uint32_t activeRecno_ = 0;
    mutable std::vector<std::optional<std::string>> memos_;
    std::vector<bool> memoChanged_;
    std::vector<std::optional<std::string>> memosAsRead_;
    std::vector<DataLink*> links_;
};

enum class TableLanguage { tlOem, tlAnsi };

// Field definitions and the table language.
class TDbfDataSet : public TDbfPrimDataset {
  public:
    using TDbfPrimDataset::TDbfPrimDataset;

    // One line per field, "name,type,width,decimals"; used only to create a missing file. An
    // absent list (nullopt) differs from an empty one.
    std::optional<std::vector<std::string>> DbfFields;
    // The code page of stored text. Tables of this program are always tlOem (code page 437).
    TableLanguage Language = TableLanguage::tlOem;
};

}  // namespace storage
