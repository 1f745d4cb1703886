#pragma once

#include <functional>
#include <string>

namespace storage {

// The file layer's error codes that this code reports or tests for, named after what they mean.
// The numbers, and errorDescription's texts for them, are what users see ("Error # 222
// (Corrupted index file)"); the Envs give the system's failures these codes.
constexpr int kFileNotFound = 2;
constexpr int kPathNotFound = 3;
constexpr int kTooManyOpenFiles = 4;
constexpr int kAccessDenied = 5;  // also: a write to a file opened for reading only
constexpr int kInvalidHandle = 6;
constexpr int kSharingViolation = 32;
constexpr int kLockViolation = 33;
constexpr int kFileExists = 80;
constexpr int kReadFailed = 100;
constexpr int kWriteFailed = 101;  // "Disk write error (probable cause: Disk Full)."
constexpr int kFileNotOpen = 103;
constexpr int kNotADbaseFile = 210;
constexpr int kInvalidFieldDefinition = 211;
constexpr int kRecordOutOfRange = 212;
constexpr int kEndOfFileTooSoon = 213;
constexpr int kDatabaseNotOpen = 215;
constexpr int kInvalidParameter = 220;  // a tag list, tag count or key expression that is none
constexpr int kIndexNotOpen = 221;
constexpr int kCorruptedIndex = 222;
constexpr int kIndexVersionMismatch = 223;
constexpr int kInvalidMemoAddress = 1003;
constexpr int kDiskFull = 1004;
constexpr int kMemoWriteError = 1005;
constexpr int kMemoLockFailed = 1017;
constexpr int kNoMemoFile = 1019;
constexpr int kRecordNotLocked = 1200;
constexpr int kSemaphoreError = 1202;

// The outcome of a file-layer operation: OK, or a numeric error code with a context text that
// names the file and the operation in brackets, e.g. "[GetDbfRecord]".
class Status {
  public:
    Status() = default;
    static Status OK() { return Status(); }
    static Status Error(int code, std::string context) { return Status(code, std::move(context)); }

    bool ok() const { return code_ == 0; }
    int code() const { return code_; }

    // The file (or one it needs) is not there.
    bool notFound() const { return code_ == kFileNotFound; }
    // The file to be created is there already.
    bool alreadyExists() const { return code_ == kFileExists; }
    // An index file that is missing, damaged or does not fit its table: built anew where the
    // table may be written.
    bool indexToRebuild() const {
        return code_ == kFileNotFound || code_ == kCorruptedIndex || code_ == kIndexVersionMismatch;
    }
    const std::string& context() const { return context_; }

    // "Error # <code> (<description>)" + line break + context text.
    std::string message() const;

  private:
    Status(int code, std::string context) : code_(code), context_(std::move(context)) {}

    int code_ = 0;
    std::string context_;
};

// The description of an error code, "Undefined error" for codes without one.
std::string errorDescription(int code);

// Fatal errors: the file layer's own reports end the program. The handler receives the code and
// the full message; the program shows it in a box captioned "Program halted." and exits with the
// code. Tests install a handler that records the error. If the handler returns, reportFatal
// throws FatalError so that the failed operation never continues as if it had succeeded.
using FatalHandler = std::function<void(int code, const std::string& message)>;

struct FatalError {
    int code;
    std::string message;
};

// Installs `handler` and returns the previous one. An empty handler restores the default, which
// writes "Program halted." and the message to standard error and exits with the code.
FatalHandler setFatalHandler(FatalHandler handler);
// Reports status.message() through the handler and ends the program with the status code.
[[noreturn]] void reportFatal(const Status& status);
// The same with a message of the caller's (e.g. "Database is not open [T_Family.Locate]").
[[noreturn]] void haltProgram(int code, const std::string& message);

// Messages to the user from the storage layer that do not end anything ("Lock failed [Post]",
// corrected field definitions). The program routes them to a message box; the default writes
// them to standard error. Returns the previous handler.
using MessageHandler = std::function<void(const std::string& message)>;
MessageHandler setMessageHandler(MessageHandler handler);
void showMessage(const std::string& message);

}  // namespace storage
