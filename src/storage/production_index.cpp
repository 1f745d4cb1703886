// Opening a production or one-tag index as found, reading it and seeking in its tags.

#include "production_index.h"

#include <cstdlib>
#include <cstring>

#include "file_names.h"
#include "mdx_check.h"

namespace storage {

ProductionIndex::ProductionIndex(DbfFile* table, std::unique_ptr<MdxFile> mdx)
    : table_(table), mdx_(std::move(mdx)), semaphore_(table->env(), table->path()) {}

ProductionIndex::~ProductionIndex() = default;

std::string ProductionIndex::pathFor(Env* env, const std::string& tablePath) {
    return env->resolvePath(indexPathFor(tablePath));
}

Status ProductionIndex::compileExpressions() {
    std::vector<std::unique_ptr<KeyExpression>> expressions;
    for (const TagInfo& tag : mdx_->tags()) {
        std::unique_ptr<KeyExpression> expression;
        Status s = KeyExpression::compile(tag.expression, table_->fields(), &expression);
        if (!s.ok()) {
            if (!strict_) {
                expressions.emplace_back();
                continue;
            }
            return Status::Error(kIndexVersionMismatch,
                                 path() + ": " + s.context() + " (tag " + tag.name + ")");
        }
        const bool fits = expression->keyLength() == tag.keyLength &&
                          (expression->keyType() == 'C') == (tag.kind == KeyKind::Character) &&
                          tag.kind != KeyKind::Bcd;
        if (!fits) {
            if (!strict_) {
                expressions.emplace_back();
                continue;
            }
            return Status::Error(kIndexVersionMismatch, path() + ": key of tag " + tag.name +
                                                            " does not match its expression [MDX]");
        }
        expressions.push_back(std::move(expression));
    }
    expressions_ = std::move(expressions);
    return Status::OK();
}

Status ProductionIndex::openFile(DbfFile* table, const std::string& path, TreeCheck check,
                                 std::unique_ptr<ProductionIndex>* out) {
    Env* env = table->env();
    if (!env->fileExists(path)) return Status::Error(kFileNotFound, path + " [OpenMDX]");
    std::unique_ptr<File> file;
    Status s = env->openFile(path, table->access(), Share::Shared, &file);
    if (!s.ok()) return s;
    std::unique_ptr<MdxFile> mdx;
    s = MdxFile::open(std::move(file), &mdx);
    if (!s.ok()) return s;
    std::unique_ptr<ProductionIndex> index(new ProductionIndex(table, std::move(mdx)));
    index->strict_ = check != TreeCheck::None;
    s = index->compileExpressions();
    if (!s.ok()) return s;
    if (check != TreeCheck::None) {
        // Checked opens hold the semaphore (or the table exclusively): an update in progress
        // now is one that was cut short.
        MdxFile* mdx = index->mdx_.get();
        if (mdx->updateInterrupted()) return mdx->corrupted("an update of the index was cut short");
        s = table->refreshRecordCount();
        if (!s.ok()) return s;
        if (check == TreeCheck::Whole || !mdx->checkedAsIs(table->recordCount())) {
            s = checkAllTags(mdx, table->recordCount());
            if (!s.ok()) return s;
            // Recorded, so that the next opening need not walk the trees again; failing to
            // record it (a full disk) costs only that walk.
            if (table->access() == Access::ReadWrite) (void)mdx->markChecked(table->recordCount());
        }
    }
    *out = std::move(index);
    return Status::OK();
}

Status ProductionIndex::open(DbfFile* table, const std::string& path,
                             std::unique_ptr<ProductionIndex>* out, bool strict) {
    out->reset();
    if (!strict) return openFile(table, path, TreeCheck::None, out);
    IndexSemaphore semaphore(table->env(), table->path());
    SemaphoreGuard guard(table->share() == Share::Shared ? &semaphore : nullptr, "Open");
    if (!guard.status().ok()) return guard.status();
    return openFile(table, path, TreeCheck::AsRecorded, out);
}

Status ProductionIndex::reload() {
    SemaphoreGuard guard(semaphore(), "Read");
    if (!guard.status().ok()) return guard.status();
    Status s = mdx_->reload();
    if (!s.ok()) return s;
    return compileExpressions();
}

Status ProductionIndex::requireExpressions() const {
    for (size_t t = 0; t < expressions_.size(); ++t)
        if (!expressions_[t])
            return Status::Error(kIndexVersionMismatch, path() + ": tag " + mdx_->tags()[t].name +
                                                            " does not fit the table [MDX]");
    return Status::OK();
}

std::unique_ptr<TagCursor> ProductionIndex::cursor(int tag) {
    auto cursor = std::make_unique<TagCursor>(mdx_.get(), tag);
    cursor->setSemaphore(semaphore());
    cursor->setMender([this](bool damaged) { return mend(damaged); });
    return cursor;
}

bool ProductionIndex::seekKey(int tag, std::string_view value, bool exact,
                              std::vector<uint8_t>* key) const {
    const TagInfo& info = mdx_->tags().at(tag);
    key->clear();
    if (info.kind == KeyKind::Character) {
        if (exact) {
            while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
            if (value.size() > info.keyLength) return false;
            key->assign(info.keyLength, ' ');
        } else {
            if (value.empty() || value.size() > info.keyLength) return false;
            key->resize(value.size());
        }
        std::memcpy(key->data(), value.data(), value.size());
        return true;
    }
    if (info.kind != KeyKind::Double) return false;
    const std::string text(value);
    double number = 0.0;
    if (info.keyType == 'D') {
        if (text.size() != 8) return false;
        number = julianDayOfDigits(reinterpret_cast<const uint8_t*>(text.data()));
    } else {
        char* end = nullptr;
        number = std::strtod(text.c_str(), &end);
        if (text.empty() || *end != 0) return false;
    }
    key->resize(8);
    encodeNumericKey(number, key->data());
    return true;
}

Status ProductionIndex::seek(TagCursor* cursor, std::string_view value, bool exact, bool* found) {
    *found = false;
    const int tag = findTag(cursor->tag().name);
    std::vector<uint8_t> key;
    if (tag < 0 || !seekKey(tag, value, exact, &key)) return Status::OK();
    auto attempt = [&] {
        return exact ? cursor->seekExact(key.data(), found)
                     : cursor->seekPrefix(key.data(), key.size(), found);
    };
    // The cursor itself repeats reads that a concurrent writer disturbed; what is left is a
    // file rebuilt by another workstation since it was opened.
    Status s = attempt();
    if (s.ok() || table_->share() != Share::Shared) return s;
    s = reload();
    if (!s.ok()) return s;
    return attempt();
}

}  // namespace storage
