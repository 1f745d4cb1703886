#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "status.h"

namespace storage {

class DbfFile;
class ProductionIndex;

// The order in which a table component visits its records: record order, or the order of an
// index tag. An order keeps its own position; the component repositions it on its current
// record before moving from there.
class RecordOrder {
  public:
    virtual ~RecordOrder() = default;

    // Each gives the record number of the entry reached, 0 when there is none.
    virtual Status first(uint32_t* recno) = 0;
    virtual Status last(uint32_t* recno) = 0;
    virtual Status next(uint32_t* recno) = 0;
    virtual Status prior(uint32_t* recno) = 0;
    // Positions on record `recno`, whose stored bytes are `record`.
    virtual Status seek(uint32_t recno, const uint8_t* record) = 0;
    // Whether it visits every record in record-number order.
    virtual bool recordNumberOrder() const { return false; }
    // Whether it is the order of a tag on field `field` alone: the records holding one value of
    // the field then come in record-number order.
    virtual bool ordersBy(std::string_view /*field*/) const { return false; }

    // Index orders: positions on the first entry whose key equals `value` (blank-padded to the
    // key length) or, with `partial`, begins with it; *recno = 0 when there is none. The value
    // is UTF-8 text, compared in the table's code page, letter case counting.
    virtual bool indexed() const { return false; }
    virtual Status find(std::string_view value, bool partial, uint32_t* recno);
    // After find: the next entry whose key still matches; 0 when none.
    virtual Status findNext(uint32_t* recno);
};

// Record-number order over a table file.
std::unique_ptr<RecordOrder> makeRecordNumberOrder(DbfFile* table);

// The order of tag `tag` of `index` (owned by the caller and outliving the order). The index may
// reload its file and expressions on any write; the order asks it for them afresh whenever it
// positions itself.
std::unique_ptr<RecordOrder> makeTagOrder(ProductionIndex* index, int tag);

}  // namespace storage
