#include "dataset.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "codepage.h"
#include "status.h"

namespace storage {

namespace {

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

// The shortest text that reads back as the same number, always in plain digits ("1000000",
// never "1e+06"), so that a filter or a report compares and prints what the field holds.
std::string shortestNumber(double value) {
    char text[512];
    auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    if (error != std::errc()) return std::to_string(value);
    return std::string(text, end);
}

// The whole of `text` (surrounding blanks aside) as a number; nullopt when it is not one.
std::optional<double> parseNumber(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return std::nullopt;
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (text.front() == '+') text.remove_prefix(1);
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<Date> parseStoredDate(std::string_view text) {
    std::string digits;
    for (char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c))) digits += c;
    }
    if (digits.size() != 8) return std::nullopt;
    Date date;
    date.year = std::stoi(digits.substr(0, 4));
    date.month = std::stoi(digits.substr(4, 2));
    date.day = std::stoi(digits.substr(6, 2));
    return date;
}

}  // namespace

// ---- FieldText -------------------------------------------------------------------------------

FieldText::FieldText(std::string_view utf8) : utf8_(utf8) {
    std::string oem;
    utf8ToOem(utf8_, &oem);
    // The byte form stands for the text only when it reads back as the same text: '?' for an
    // unknown character, malformed UTF-8 or a bare control character 0x14/0x15 would not.
    std::string back;
    oemToUtf8(reinterpret_cast<const uint8_t*>(oem.data()), oem.size(), &back);
    if (back == utf8_) oem_ = std::move(oem);
}

// ---- TField ----------------------------------------------------------------------------------

const FieldDescriptor& TField::descriptor() const { return owner_->descriptors_[index_]; }

const std::string& TField::AsString() const {
    const FieldDescriptor& field = descriptor();
    const uint8_t* record = owner_->readRecordForFields();
    switch (field.type) {
        case 'N':
        case 'F':
            text_ =
                isBlank(field, record) ? std::string() : shortestNumber(getNumber(field, record));
            break;
        case 'D': {
            auto date = getDate(field, record);
            text_.clear();
            if (date) {
                char digits[16];
                std::snprintf(digits, sizeof digits, "%04d%02d%02d", date->year, date->month,
                              date->day);
                text_ = digits;
            }
            break;
        }
        case 'L':
            text_ = isBlank(field, record) ? std::string() : getBool(field, record) ? "T" : "F";
            break;
        default:
            if (isMemoType(field.type)) {
                text_ = owner_->memoText(index_);
            } else {
                getText(field, record, &text_);
            }
    }
    return text_;
}

bool TField::AsStringEquals(const FieldText& text) const {
    const FieldDescriptor& field = descriptor();
    const bool plainText = field.type != 'N' && field.type != 'F' && field.type != 'D' &&
                           field.type != 'L' && !isMemoType(field.type);
    if (plainText && text.oem())
        return textEquals(field, owner_->readRecordForFields(), *text.oem());
    return AsString() == text.utf8();
}

double TField::AsFloat() const {
    const FieldDescriptor& field = descriptor();
    if (field.type == 'N' || field.type == 'F')
        return getNumber(field, owner_->readRecordForFields());
    const std::string& text = AsString();
    return text.empty() ? 0.0 : std::strtod(text.c_str(), nullptr);
}

int64_t TField::AsInteger() const { return static_cast<int64_t>(std::llround(AsFloat())); }

bool TField::AsBoolean() const {
    const FieldDescriptor& field = descriptor();
    if (field.type == 'L') return getBool(field, owner_->readRecordForFields());
    const std::string& text = AsString();
    return !text.empty() && std::strchr("TtYy", text[0]) != nullptr;
}

std::optional<Date> TField::AsDate() const {
    const FieldDescriptor& field = descriptor();
    if (field.type == 'D') return getDate(field, owner_->readRecordForFields());
    return parseStoredDate(AsString());
}

bool TField::IsNull() const {
    const FieldDescriptor& field = descriptor();
    if (isMemoType(field.type)) return owner_->memoText(index_).empty();
    return isBlank(field, owner_->readRecordForFields());
}

void TField::setAsString(std::string_view text) {
    owner_->checkWritable(index_);
    const FieldDescriptor& field = descriptor();
    uint8_t* record = owner_->buffer();
    const bool blank = text.find_first_not_of(' ') == std::string_view::npos;
    switch (field.type) {
        case 'N':
        case 'F': {
            if (blank) {
                setBlank(field, record);
                break;
            }
            const auto value = parseNumber(text);
            if (!value) throw EDbfError("'" + std::string(text) + "' is not a valid number");
            writeChecked([&] { return setNumber(field, record, *value); }, text);
            break;
        }
        case 'D': {
            if (blank) {
                setBlank(field, record);
                break;
            }
            const auto date = parseStoredDate(text);
            writeChecked([&] { return date && setDate(field, record, date); }, text);
            break;
        }
        case 'L':
            if (text.empty()) {
                setBlank(field, record);
            } else {
                setBool(field, record, std::strchr("TtYy", text[0]) != nullptr);
            }
            break;
        default:
            if (isMemoType(field.type)) {
                // The text read before (shown, say), for comparing with what another
                // workstation stores meanwhile; the new text is kept as it will read back once
                // stored.
                auto& asRead = owner_->memosAsRead_[index_];
                if (!asRead && owner_->memos_[index_]) asRead = *owner_->memos_[index_];
                owner_->memos_[index_] = storableText(text);
                owner_->memoChanged_[index_] = true;
            } else {
                setText(field, record, text);
            }
    }
    owner_->fieldChanged(index_);
}

void TField::setAsFloat(double value) {
    owner_->checkWritable(index_);
    const FieldDescriptor& field = descriptor();
    if (field.type == 'N' || field.type == 'F') {
        writeChecked([&] { return setNumber(field, owner_->buffer(), value); },
                     shortestNumber(value));
        owner_->fieldChanged(index_);
    } else {
        setAsString(shortestNumber(value));
    }
}

void TField::setAsInteger(int64_t value) { setAsFloat(static_cast<double>(value)); }

void TField::setAsBoolean(bool value) {
    owner_->checkWritable(index_);
    const FieldDescriptor& field = descriptor();
    if (field.type == 'L') {
        setBool(field, owner_->buffer(), value);
        owner_->fieldChanged(index_);
    } else {
        setAsString(value ? "T" : "F");
    }
}

void TField::setAsDate(std::optional<Date> value) {
    owner_->checkWritable(index_);
    const FieldDescriptor& field = descriptor();
    char digits[16] = "";
    if (value) {
        std::snprintf(digits, sizeof digits, "%04d%02d%02d", value->year, value->month, value->day);
    }
    if (field.type == 'D') {
        writeChecked([&] { return setDate(field, owner_->buffer(), value); }, digits);
        owner_->fieldChanged(index_);
        return;
    }
    setAsString(digits);
}

void TField::writeChecked(const std::function<bool()>& write, std::string_view shown) {
    const FieldDescriptor& field = descriptor();
    uint8_t* start = owner_->buffer() + field.offset;
    const std::vector<uint8_t> saved(start, start + field.width);
    if (write()) return;
    std::copy(saved.begin(), saved.end(), start);
    throw EDbfError("'" + std::string(shown) + "' is not a valid value for field '" + field.name +
                    "'");
}

void TField::Clear() { setAsString(""); }

// ---- TDbfPrimDataset -------------------------------------------------------------------------

TDbfPrimDataset::TDbfPrimDataset(std::string name) : name_(std::move(name)) {}

TDbfPrimDataset::~TDbfPrimDataset() {
    auto links = links_;
    for (DataLink* link : links) link->dataSetDestroyed();
}

TField* TDbfPrimDataset::FindField(std::string_view name) {
    for (auto& field : fields_) {
        if (sameName(field->FieldName(), name)) return field.get();
    }
    return nullptr;
}

TField& TDbfPrimDataset::FieldByName(std::string_view name) {
    if (TField* field = FindField(name)) return *field;
    throw EDbfError(name_ + ": Field '" + std::string(name) + "' not found");
}

void TDbfPrimDataset::addDataLink(DataLink* link) { links_.push_back(link); }

void TDbfPrimDataset::removeDataLink(DataLink* link) {
    links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
}

void TDbfPrimDataset::notifyLinks() {
    // A link may remove itself while it is told.
    auto links = links_;
    for (DataLink* link : links) link->dataChanged();
}

void TDbfPrimDataset::afterScroll() {
    notifyLinks();
    if (AfterScroll) AfterScroll(*this);
}

void TDbfPrimDataset::UpdateRecord() {
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) return;
    auto links = links_;
    for (DataLink* link : links) {
        if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) break;
        link->updateData();
    }
}

void TDbfPrimDataset::CheckBrowseMode() {
    if (!Active()) notOpen("CheckBrowseMode");
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) return;
    UpdateRecord();
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) return;
    if (modified_) {
        postUpdated();
    } else {
        Cancel();
    }
}

void TDbfPrimDataset::beginInsert() {
    savedRecno_ = recno_;
    savedBuffer_.assign(buffer_.begin(), buffer_.end());
    std::fill(buffer_.begin(), buffer_.end(), ' ');
    for (auto& memo : memos_) memo = std::string();
    std::fill(memoChanged_.begin(), memoChanged_.end(), false);
    for (auto& memo : memosAsRead_) memo.reset();
    recno_ = 0;
    activeRecord_ = buffer_.data();
    activeRecno_ = 0;
    modified_ = false;
    state_ = DataSetState::Insert;
    notifyLinks();
    if (AfterInsert) AfterInsert(*this);
}

void TDbfPrimDataset::Insert() {
    if (!Active()) notOpen("Insert");
    CheckBrowseMode();
    beginInsert();
}

void TDbfPrimDataset::Append() { Insert(); }

void TDbfPrimDataset::Edit() {
    if (!Active()) notOpen("Edit");
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) return;
    if (!hasCurrent()) {
        beginInsert();
        return;
    }
    savedBuffer_.assign(buffer_.begin(), buffer_.end());
    savedRecno_ = recno_;
    for (auto& memo : memosAsRead_) memo.reset();
    modified_ = false;
    state_ = DataSetState::Edit;
    notifyLinks();
}

void TDbfPrimDataset::Post() {
    if (!Active()) notOpen("Post");
    UpdateRecord();
    postUpdated();
}

void TDbfPrimDataset::postUpdated() {
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) return;
    if (BeforePost) BeforePost(*this);
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) return;
    const bool inserting = state_ == DataSetState::Insert;
    const WriteOutcome outcome = writeCurrent(inserting);
    if (outcome == WriteOutcome::Refused) return;
    std::fill(memoChanged_.begin(), memoChanged_.end(), false);
    for (auto& memo : memosAsRead_) memo.reset();
    modified_ = false;
    state_ = DataSetState::Browse;
    activeRecord_ = buffer_.data();
    activeRecno_ = recno_;
    if (outcome == WriteOutcome::Dropped) {
        afterScroll();
        postDropped();
        return;
    }
    notifyLinks();
    if (AfterPost) AfterPost(*this);
}

std::optional<bool> TDbfPrimDataset::askLinksToReplace(const std::vector<int>& fields) {
    auto links = links_;
    for (DataLink* link : links) {
        if (auto answer = link->replaceOtherValues(fields)) return answer;
    }
    return std::nullopt;
}

bool TDbfPrimDataset::tellLinksDeletedElsewhere() {
    auto links = links_;
    for (DataLink* link : links) {
        if (link->toldDeletedElsewhere()) return true;
    }
    return false;
}

void TDbfPrimDataset::Cancel() {
    if (!Active()) notOpen("Cancel");
    if (state_ == DataSetState::Edit) {
        std::copy(savedBuffer_.begin(), savedBuffer_.end(), buffer_.begin());
        for (size_t i = 0; i < memos_.size(); ++i) {
            if (memoChanged_[i]) memos_[i].reset();
        }
    }
    const bool wasInsert = state_ == DataSetState::Insert;
    if (state_ == DataSetState::Browse) return;
    std::fill(memoChanged_.begin(), memoChanged_.end(), false);
    for (auto& memo : memosAsRead_) memo.reset();
    modified_ = false;
    state_ = DataSetState::Browse;
    if (wasInsert) {
        recno_ = savedRecno_;
        std::copy(savedBuffer_.begin(), savedBuffer_.end(), buffer_.begin());
        for (auto& memo : memos_) memo.reset();
        activeRecord_ = buffer_.data();
        activeRecno_ = recno_;
        restorePosition();
    }
    notifyLinks();
    if (AfterCancel) AfterCancel(*this);
}

void TDbfPrimDataset::notOpen(const char* operation) const {
    haltProgram(kDatabaseNotOpen, "Database is not open [" + name_ + "." + operation + "]");
}

void TDbfPrimDataset::setFieldLayout(const std::vector<FieldDescriptor>& descriptors,
                                     uint16_t recordLength) {
    descriptors_ = descriptors;
    fields_.clear();
    ++layoutVersion_;
    for (int i = 0; i < static_cast<int>(descriptors_.size()); ++i) {
        fields_.push_back(std::make_unique<TField>(this, i));
    }
    buffer_.assign(recordLength, ' ');
    savedBuffer_.assign(recordLength, ' ');
    memos_.assign(descriptors_.size(), std::nullopt);
    memoChanged_.assign(descriptors_.size(), false);
    memosAsRead_.assign(descriptors_.size(), std::nullopt);
    recno_ = 0;
    activeRecord_ = buffer_.data();
    activeRecno_ = 0;
    modified_ = false;
}

void TDbfPrimDataset::clearFieldLayout() {
    fields_.clear();
    ++layoutVersion_;
    descriptors_.clear();
    buffer_.clear();
    savedBuffer_.clear();
    memos_.clear();
    memoChanged_.clear();
    memosAsRead_.clear();
    recno_ = 0;
    activeRecord_ = nullptr;
    state_ = DataSetState::Inactive;
    modified_ = false;
}

void TDbfPrimDataset::setState(DataSetState state) { state_ = state; }

void TDbfPrimDataset::loadCurrent(uint32_t recno, const uint8_t* record) {
    recno_ = recno;
    if (record) {
        std::memcpy(buffer_.data(), record, buffer_.size());
    } else {
        std::fill(buffer_.begin(), buffer_.end(), ' ');
    }
    for (auto& memo : memos_) memo.reset();
    activeRecord_ = buffer_.data();
    activeRecno_ = recno;
}

const std::string& TDbfPrimDataset::memoText(int field) const {
    static const std::string empty;
    if (activeRecord_ != buffer_.data()) {
        // A candidate record under a filter routine: read its memo afresh each time.
        thread_local std::string candidate;
        candidate = const_cast<TDbfPrimDataset*>(this)->readMemo(activeRecord_, field);
        return candidate;
    }
    if (!memos_[field]) {
        if (recno_ == 0 && state_ == DataSetState::Insert) return empty;
        memos_[field] = const_cast<TDbfPrimDataset*>(this)->readMemo(buffer_.data(), field);
    }
    return *memos_[field];
}

void TDbfPrimDataset::checkWritable(int field) {
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) {
        throw EDbfError("Dataset not in edit or insert mode");
    }
    if (fieldsReadOnly()) {
        throw EDbfError("Field '" + descriptors_[field].name + "' cannot be modified");
    }
}

void TDbfPrimDataset::fieldChanged(int field) {
    modified_ = true;
    auto links = links_;
    for (DataLink* link : links) link->fieldChanged(field);
}

TDbfPrimDataset::CandidateScope::CandidateScope(TDbfPrimDataset& set, uint32_t recno,
                                                const uint8_t* record)
    : set_(set), savedRecord_(set.activeRecord_), savedRecno_(set.activeRecno_) {
    set_.activeRecord_ = record;
    set_.activeRecno_ = recno;
}

TDbfPrimDataset::CandidateScope::~CandidateScope() {
    set_.activeRecord_ = savedRecord_;
    set_.activeRecno_ = savedRecno_;
}

}  // namespace storage
