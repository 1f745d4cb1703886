#include "filtered_dataset.h"

#include <algorithm>
#include <cctype>

#include "dbf_fields.h"
#include "dbf_file.h"
#include "file_names.h"

namespace storage {

namespace {

// Read-ahead for sequential walks; a jump reads a single record.
constexpr size_t kReadAheadBytes = 256 * 1024;

bool equalText(std::string_view field, std::string_view value, unsigned options) {
    if (options & loPartialKey) {
        if (field.size() < value.size()) return false;
        field = field.substr(0, value.size());
    }
    if (field.size() != value.size()) return false;
    if (!(options & loCaseInsensitive)) return field == value;
    return std::equal(field.begin(), field.end(), value.begin(), [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) ==
               std::toupper(static_cast<unsigned char>(b));
    });
}

}  // namespace

TDbfCDataSet::~TDbfCDataSet() = default;

void TDbfCDataSet::setDbfFileName(const std::string& name) {
    std::string path = trimmed(name);
    if (!path.empty() && path.back() != '.' && !hasExtension(path)) path += ".DBF";
    fileName_ = path;
    if (Active()) {
        Close();
        Open();
    }
}

void TDbfCDataSet::requireActive(const char* operation) const {
    if (!Active()) notOpen(operation);
}

void TDbfCDataSet::check(const Status& status) const {
    if (!status.ok()) reportFatal(status);
}

void TDbfCDataSet::Open() {
    if (Active()) return;
    openFiles();
    readAheadCount_ = 0;
    refresh();
    uint32_t recno = 0;
    check(order()->first(&recno));
    recno = seekVisible(recno, true);
    standOnOrNowhere(recno);
    bof_ = true;
    afterScroll();
}

void TDbfCDataSet::Close() {
    if (!Active()) return;
    // The files are gone even when closing them failed: finish forgetting them before the
    // failure is reported (a fatal handler that returns leaves this object in use).
    try {
        closeFiles();
    } catch (...) {
        forgetFiles();
        throw;
    }
    forgetFiles();
}

void TDbfCDataSet::forgetFiles() {
    keyed_.reset();
    order_.reset();
    table_ = nullptr;
    readAhead_.clear();
    readAhead_.shrink_to_fit();
    readAheadCount_ = 0;
    clearFieldLayout();
    bof_ = eof_ = true;
    notifyLinks();
}

void TDbfCDataSet::dropReadAhead() { readAheadCount_ = 0; }

void TDbfCDataSet::refresh() {
    check(table_->refreshRecordCount());
    if (keyed_) check(keyed_->refresh());
}

void TDbfCDataSet::setOrder(std::unique_ptr<RecordOrder> order) {
    order_ = std::move(order);
    chooseKeyedOrder();
}

void TDbfCDataSet::chooseKeyedOrder() {
    keyed_.reset();
    if (!filter_ || filterKey_.empty() || !order_) return;
    if (!order_->recordNumberOrder() && !order_->ordersBy(filterKey_.field)) return;
    KeyedSource* source = keyedSource(filterKey_.field);
    if (!source) return;
    keyed_ = std::make_unique<KeyedOrder>(table_, source,
                                          [this] { return filterKey_.value(filterOwner_); });
}

const uint8_t* TDbfCDataSet::fetch(uint32_t recno, bool forward) {
    const uint16_t length = table_->recordLength();
    if (readAheadCount_ && recno >= readAheadFirst_ && recno < readAheadFirst_ + readAheadCount_) {
        return readAhead_.data() + size_t(recno - readAheadFirst_) * length;
    }
    // Walking on from the block read last: read the next block. Jumping: one record. Over a
    // keyed order: the run of listed records there.
    const uint32_t most = uint32_t(std::max<size_t>(1, kReadAheadBytes / length));
    const bool sequential = readAheadCount_ && (forward ? recno == readAheadFirst_ + readAheadCount_
                                                        : recno + 1 == readAheadFirst_);
    uint32_t count = keyed_ ? keyed_->span(recno, forward, most) : sequential ? most : 1;
    uint32_t first = recno;
    if (!forward) {
        count = std::min(count, recno);
        first = recno - count + 1;
    }
    readAhead_.resize(size_t(count) * length);
    uint32_t got = 0;
    check(table_->readRecords(first, count, readAhead_.data(), &got));
    if (recno >= first + got) check(table_->readRecord(recno, readAhead_.data()));  // reports 212
    readAheadFirst_ = first;
    readAheadCount_ = got;
    return readAhead_.data() + size_t(recno - first) * length;
}

bool TDbfCDataSet::isVisible(uint32_t recno, const uint8_t* record) {
    if (HideDeletedRecs && record[0] == '*') return false;
    if (!filter_) return true;
    CandidateScope scope(*this, recno, record);
    return filter_(filterOwner_);
}

uint32_t TDbfCDataSet::seekVisible(uint32_t recno, bool forward) {
    while (recno != 0) {
        if (isVisible(recno, fetch(recno, forward))) return recno;
        check(forward ? order()->next(&recno) : order()->prior(&recno));
    }
    return 0;
}

void TDbfCDataSet::standOn(uint32_t recno) {
    loadCurrent(recno, fetch(recno, true));
    setState(DataSetState::Browse);
    bof_ = eof_ = false;
}

void TDbfCDataSet::standOnOrNowhere(uint32_t recno) {
    if (recno) {
        standOn(recno);
    } else {
        standNowhere();
    }
}

void TDbfCDataSet::standNowhere() {
    loadCurrent(0, nullptr);
    setState(DataSetState::Browse);
    bof_ = eof_ = true;
}

void TDbfCDataSet::positionOrderOnCurrent() {
    if (hasCurrent()) check(order()->seek(RecNo(), buffer()));
}

void TDbfCDataSet::moveToEnd(const char* operation, bool first) {
    requireActive(operation);
    CheckBrowseMode();
    dropReadAhead();
    refresh();
    uint32_t recno = 0;
    check(first ? order()->first(&recno) : order()->last(&recno));
    recno = seekVisible(recno, first);
    if (recno) {
        standOn(recno);
        (first ? bof_ : eof_) = true;
    } else {
        standNowhere();
    }
    afterScroll();
}

void TDbfCDataSet::step(const char* operation, bool forward) {
    requireActive(operation);
    CheckBrowseMode();
    if (!hasCurrent()) {
        bof_ = eof_ = true;
        return;
    }
    dropReadAhead();
    refresh();
    positionOrderOnCurrent();
    uint32_t recno = 0;
    check(forward ? order()->next(&recno) : order()->prior(&recno));
    recno = seekVisible(recno, forward);
    if (!recno) {
        (forward ? eof_ : bof_) = true;
        return;
    }
    standOn(recno);
    afterScroll();
}

void TDbfCDataSet::First() { moveToEnd("First", true); }
void TDbfCDataSet::Last() { moveToEnd("Last", false); }
void TDbfCDataSet::Next() { step("Next", true); }
void TDbfCDataSet::Prior() { step("Prior", false); }

uint32_t TDbfCDataSet::countVisible() {
    uint32_t count = 0;
    uint32_t recno = 0;
    check(order()->first(&recno));
    while (recno != 0) {
        if (isVisible(recno, fetch(recno, true))) ++count;
        check(order()->next(&recno));
    }
    return count;
}

void TDbfCDataSet::forEachVisible(const std::function<bool(uint32_t recno)>& visit) {
    requireActive("forEachVisible");
    dropReadAhead();
    refresh();
    // Records written since the search (by this data set or another workstation) void what it
    // learnt about the end of the order.
    uint32_t end = 0;
    const bool tailKnown = tailKnown_ && tailKnown_->recordCount == table_->recordCount() &&
                           tailKnown_->lastVisible == (hasCurrent() ? RecNo() : 0);
    if (tailKnown) {
        end = tailKnown_->lastVisible;
        if (end == 0) return;
    }
    uint32_t recno = 0;
    check(order()->first(&recno));
    while (recno != 0) {
        const uint8_t* record = fetch(recno, true);
        if (isVisible(recno, record)) {
            CandidateScope scope(*this, recno, record);
            if (!visit(recno)) return;
        }
        if (recno == end) return;
        check(order()->next(&recno));
    }
}

uint32_t TDbfCDataSet::RecordCount() {
    requireActive("RecordCount");
    dropReadAhead();
    refresh();
    if (!filter_ && !HideDeletedRecs) return table_->recordCount();
    return countVisible();
}

uint32_t TDbfCDataSet::GetFilteredCount() {
    requireActive("GetFilteredCount");
    dropReadAhead();
    refresh();
    return countVisible();
}

bool TDbfCDataSet::fieldsMatch(const std::vector<int>& fields,
                               const std::vector<std::string>& values, unsigned options) {
    for (size_t i = 0; i < fields.size(); ++i) {
        const std::string& value = i < values.size() ? values[i] : std::string();
        if (!equalText(Fields(fields[i]).AsString(), value, options)) return false;
    }
    return true;
}

bool TDbfCDataSet::Locate(const std::string& fieldNames, const std::vector<std::string>& values,
                          unsigned options) {
    requireActive("Locate");
    CheckBrowseMode();
    dropReadAhead();
    refresh();
    uint32_t recno = 0;
    if (order()->indexed()) {
        check(order()->find(values.empty() ? std::string() : values[0],
                            (options & loPartialKey) != 0, &recno));
        while (recno != 0 && !isVisible(recno, fetch(recno, true))) {
            check(order()->findNext(&recno));
        }
    } else {
        std::vector<int> fields;
        std::string::size_type start = 0;
        for (;;) {
            auto end = fieldNames.find(';', start);
            fields.push_back(FieldByName(trimmed(fieldNames.substr(start, end - start))).Index());
            if (end == std::string::npos) break;
            start = end + 1;
        }
        check(order()->first(&recno));
        for (; recno != 0; check(order()->next(&recno))) {
            const uint8_t* record = fetch(recno, true);
            if (!isVisible(recno, record)) continue;
            CandidateScope scope(*this, recno, record);
            if (fieldsMatch(fields, values, options)) break;
        }
    }
    if (!recno) return false;
    standOn(recno);
    afterScroll();
    return true;
}

void TDbfCDataSet::Delete() {
    requireActive("Delete");
    if (State() == DataSetState::Insert) {
        Cancel();
        return;
    }
    if (State() == DataSetState::Edit) Cancel();
    if (!hasCurrent()) return;
    if (!deleteWithLock(RecNo())) return;
    buffer()[0] = '*';
    dropReadAhead();
    if (!HideDeletedRecs) {
        notifyLinks();
        return;
    }
    positionOrderOnCurrent();
    uint32_t recno = 0;
    check(order()->next(&recno));
    recno = seekVisible(recno, true);
    if (!recno) {
        positionOrderOnCurrent();
        check(order()->prior(&recno));
        recno = seekVisible(recno, false);
    }
    standOnOrNowhere(recno);
    afterScroll();
}

void TDbfCDataSet::SetFilterToCB(FilterRoutine routine, void* owner, FilterKey key) {
    requireActive("SetFilterToCB");
    filter_ = std::move(routine);
    filterOwner_ = owner;
    filterKey_ = std::move(key);
    chooseKeyedOrder();
    dropReadAhead();
    const bool pending = State() == DataSetState::Edit || State() == DataSetState::Insert;
    const bool candidate = hasCurrent() || State() == DataSetState::Insert;
    const bool passes = candidate && isVisible(RecNo(), buffer());
    if (passes) {
        if (pending) Cancel();
        if (hasCurrent() && isVisible(RecNo(), buffer())) {
            notifyLinks();
            return;
        }
    } else if (pending) {
        CheckBrowseMode();
    }
    uint32_t recno = 0;
    refresh();
    check(order()->last(&recno));
    recno = seekVisible(recno, false);
    standOnOrNowhere(recno);
    tailKnown_ = KnownTail{recno, table_->recordCount()};
    struct Forget {
        std::optional<KnownTail>& tail;
        ~Forget() { tail.reset(); }
    } forget{tailKnown_};
    afterScroll();
}

void TDbfCDataSet::restorePosition() {
    dropReadAhead();
    if (!hasCurrent()) {
        standNowhere();
        return;
    }
    positionOrderOnCurrent();
}

void TDbfCDataSet::currentRecordWritten() {
    dropReadAhead();
    positionOrderOnCurrent();
    bof_ = eof_ = false;
}

}  // namespace storage
