// Creating a table file: its header from the field descriptors, with its memo file where a
// field needs one.

#include <cstring>

#include "coding.h"
#include "dbf_file.h"
#include "dbf_layout.h"
#include "file_names.h"
#include "memo_file.h"
#include "record.h"

namespace storage {

using namespace dbf;

namespace {

std::string upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// The header of a new, empty table of `fields`; *hasMemo tells whether it needs a memo file.
Status newTableHeader(const std::vector<FieldDescriptor>& fields, bool productionIndex,
                      std::vector<uint8_t>* out, bool* hasMemo) {
    const Status invalid =
        Status::Error(kInvalidFieldDefinition, "Invalid dBASE field definition [CreateDBF]");
    if (fields.empty() || fields.size() > DbfFile::kMaxFields) return invalid;

    std::vector<uint8_t> header(kPrologLength + kDescriptorLength * fields.size() + 2, 0);
    uint32_t recordLength = 1;
    bool memo = false;
    for (size_t i = 0; i < fields.size(); ++i) {
        const FieldDescriptor& field = fields[i];
        const std::string name = upper(trimBlanks(field.name));
        const char type = static_cast<char>(
            field.type >= 'a' && field.type <= 'z' ? field.type - 'a' + 'A' : field.type);
        if (name.empty() || name.size() > 10) return invalid;
        uint8_t width = field.width;
        uint8_t decimals = 0;
        switch (type) {
            case 'C':
                break;
            case 'N':
            case 'F':
                decimals = field.decimals;
                break;
            case 'D':
                width = 8;
                break;
            case 'L':
                width = 1;
                break;
            default:
                if (!isMemoType(type)) return invalid;
                width = 10;
                memo = true;
        }
        if (width == 0) return invalid;
        uint8_t* descriptor = header.data() + kPrologLength + kDescriptorLength * i;
        std::memcpy(descriptor, name.data(), name.size());
        descriptor[11] = static_cast<uint8_t>(type);
        descriptor[16] = width;
        descriptor[17] = decimals;
        recordLength += width;
    }
    if (recordLength > UINT16_MAX) return invalid;

    const uint16_t headerLength =
        static_cast<uint16_t>(kPrologLength + kDescriptorLength * fields.size() + 1);
    header[0] = memo ? 0x8B : 0x03;
    putDate(header.data() + 1, today());
    putU32(header.data() + 4, 0);
    putU16(header.data() + 8, headerLength);
    putU16(header.data() + 10, static_cast<uint16_t>(recordLength));
    header[28] = productionIndex ? 1 : 0;
    header[headerLength - 1] = kTerminator;
    header[headerLength] = kEndOfFile;
    *out = std::move(header);
    *hasMemo = memo;
    return Status::OK();
}

}  // namespace

Status DbfFile::create(Env* env, const std::string& path,
                       const std::vector<FieldDescriptor>& fields) {
    std::vector<uint8_t> header;
    bool hasMemo = false;
    Status s = newTableHeader(fields, false, &header, &hasMemo);
    if (!s.ok()) return s;

    std::unique_ptr<File> file;
    s = env->createFile(path, &file);
    if (s.ok()) s = file->write(0, header.data(), header.size());
    if (!s.ok()) return Status::Error(s.code(), "Error writing " + path + ". [CreateDbf]");
    file.reset();

    if (hasMemo) {
        const std::string memoPath = memoPathFor(path);
        s = MemoFile::create(env, memoPath);
        if (!s.ok()) {
            // A table whose version byte announces a memo file cannot be opened without it.
            env->removeFile(path);
            return Status::Error(s.code(),
                                 "Cannot create memo file " + memoPath + " [CreateDbf()]");
        }
    }
    return Status::OK();
}

Status DbfFile::createNew(Env* env, const std::string& path,
                          const std::vector<FieldDescriptor>& fields, bool productionIndex) {
    std::vector<uint8_t> header;
    bool hasMemo = false;
    Status s = newTableHeader(fields, productionIndex, &header, &hasMemo);
    if (!s.ok()) return s;
    const Status exists = Status::Error(kFileExists, path + " already exists [CreateDbf]");
    if (env->fileExists(path)) return exists;

    // The memo file goes first, under its own name and only where none exists, so that the table
    // never appears without it.
    const std::string memoPath = memoPathFor(path);
    bool memoCreated = false;
    if (hasMemo) {
        s = MemoFile::createNew(env, memoPath);
        for (int attempt = 0; s.alreadyExists() && attempt < kCreateAttempts; ++attempt) {
            // Another workstation creating the same table puts its table in place next.
            if (env->fileExists(path)) return exists;
            env->sleepBetweenAttempts();
        }
        if (s.alreadyExists()) {
            if (env->fileExists(path)) return exists;
            // A memo file left without its table (a table removed by hand): replaced.
            s = MemoFile::create(env, memoPath);
        }
        if (!s.ok())
            return Status::Error(s.code(),
                                 "Cannot create memo file " + memoPath + " [CreateDbf()]");
        memoCreated = true;
    }

    // The table is written whole under a private name and then renamed into place, so that no
    // other opener reads a header still being written.
    std::string temporary;
    std::unique_ptr<File> file;
    for (unsigned attempt = 0;; ++attempt) {
        temporary = scratchPathNear(path, attempt);
        s = env->createNewFile(temporary, &file);
        if (!s.alreadyExists() || attempt >= 16) break;
    }
    if (!s.ok()) {
        if (memoCreated) env->removeFile(memoPath);
        return Status::Error(s.code(), "Error writing " + path + ". [CreateDbf]");
    }
    s = file->write(0, header.data(), header.size());
    file.reset();
    if (s.ok()) s = env->renameNew(temporary, path);
    if (!s.ok()) {
        if (env->fileExists(temporary)) env->removeFile(temporary);
        if (s.alreadyExists()) return exists;
        if (memoCreated) env->removeFile(memoPath);
        return Status::Error(s.code(), "Error writing " + path + ". [CreateDbf]");
    }
    return Status::OK();
}

}  // namespace storage
