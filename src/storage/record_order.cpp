#include "record_order.h"

#include <cstring>
#include <string>
#include <vector>

#include "codepage.h"
#include "dbf_file.h"
#include "key_expression.h"
#include "mdx_file.h"
#include "production_index.h"
#include "tag_cursor.h"

namespace storage {

Status RecordOrder::find(std::string_view, bool, uint32_t* recno) {
    *recno = 0;
    return Status::OK();
}

Status RecordOrder::findNext(uint32_t* recno) {
    *recno = 0;
    return Status::OK();
}

namespace {

class RecordNumberOrder : public RecordOrder {
  public:
    explicit RecordNumberOrder(DbfFile* table) : table_(table) {}

    Status first(uint32_t* recno) override {
        position_ = table_->recordCount() > 0 ? 1 : 0;
        *recno = position_;
        return Status::OK();
    }
    Status last(uint32_t* recno) override {
        position_ = table_->recordCount();
        *recno = position_;
        return Status::OK();
    }
    Status next(uint32_t* recno) override {
        position_ = position_ < table_->recordCount() ? position_ + 1 : 0;
        *recno = position_;
        return Status::OK();
    }
    Status prior(uint32_t* recno) override {
        position_ = position_ > 1 ? position_ - 1 : 0;
        *recno = position_;
        return Status::OK();
    }
    Status seek(uint32_t recno, const uint8_t*) override {
        position_ = recno;
        return Status::OK();
    }
    bool recordNumberOrder() const override { return true; }

  private:
    DbfFile* table_;
    uint32_t position_ = 0;
};

class TagOrder : public RecordOrder {
  public:
    TagOrder(ProductionIndex* index, int tag) : index_(index), tag_(tag) {}

    Status first(uint32_t* recno) override {
        restart();
        return step(&TagCursor::first, recno);
    }
    Status last(uint32_t* recno) override {
        restart();
        return step(&TagCursor::last, recno);
    }
    Status next(uint32_t* recno) override { return step(&TagCursor::next, recno); }
    Status prior(uint32_t* recno) override { return step(&TagCursor::prior, recno); }

    Status seek(uint32_t recno, const uint8_t* record) override {
        restart();
        index_->expression(tag_).evaluate(record, recno, key_.data());
        bool found = false;
        Status status = cursor_->seekExact(key_.data(), &found);
        // Among equal keys, walk to this record's entry.
        while (status.ok() && found && cursor_->recno() != recno &&
               std::memcmp(cursor_->key(), key_.data(), key_.size()) == 0) {
            status = cursor_->next(&found);
        }
        return status;
    }

    bool indexed() const override { return true; }
    bool ordersBy(std::string_view field) const override {
        return index_->tags().at(tag_).ordersBy(field);
    }

    Status find(std::string_view value, bool partial, uint32_t* recno) override {
        *recno = 0;
        probe_.clear();
        if (index_->expression(tag_).keyType() == 'C') {
            utf8ToOem(value, &probe_);
        } else {
            // Numeric and date keys are looked up by their value.
            std::string text(value);
            uint8_t key[8];
            encodeNumericKey(std::strtod(text.c_str(), nullptr), key);
            probe_.assign(reinterpret_cast<const char*>(key), 8);
            partial = false;
        }
        restart();
        if (probe_.size() > key_.size()) return Status::OK();
        bool found = false;
        Status status;
        if (partial) {
            if (probe_.empty()) return first(recno);
            status = cursor_->seekPrefix(reinterpret_cast<const uint8_t*>(probe_.data()),
                                         probe_.size(), &found);
        } else {
            probe_.resize(key_.size(), ' ');
            status = cursor_->seekExact(reinterpret_cast<const uint8_t*>(probe_.data()), &found);
        }
        partial_ = partial;
        if (status.ok() && found) *recno = cursor_->recno();
        return status;
    }

    Status findNext(uint32_t* recno) override {
        *recno = 0;
        bool found = false;
        Status status = cursor_->next(&found);
        if (status.ok() && found &&
            std::memcmp(cursor_->key(), probe_.data(), partial_ ? probe_.size() : key_.size()) ==
                0) {
            *recno = cursor_->recno();
        }
        return status;
    }

  private:
    // A fresh cursor on the index's current file, for a walk that starts from a key or an end.
    void restart() {
        cursor_ = index_->cursor(tag_);
        key_.resize(index_->expression(tag_).keyLength());
    }

    Status step(Status (TagCursor::*move)(bool*), uint32_t* recno) {
        if (!cursor_) restart();
        bool found = false;
        Status status = (cursor_.get()->*move)(&found);
        *recno = status.ok() && found ? cursor_->recno() : 0;
        return status;
    }

    ProductionIndex* index_;
    int tag_;
    std::unique_ptr<TagCursor> cursor_;
    std::vector<uint8_t> key_;
    std::string probe_;
    bool partial_ = false;
};

}  // namespace

std::unique_ptr<RecordOrder> makeRecordNumberOrder(DbfFile* table) {
    return std::make_unique<RecordNumberOrder>(table);
}

std::unique_ptr<RecordOrder> makeTagOrder(ProductionIndex* index, int tag) {
    return std::make_unique<TagOrder>(index, tag);
}

}  // namespace storage
