#pragma once

// Byte offsets of the multiple-index file, private to the mdx_* sources. docs/index_format.md
// describes them.

#include <cstddef>
#include <cstdint>

#include "coding.h"

namespace storage::mdx {

// File header (page 0).
constexpr size_t kHeaderVersion = 0;         // 2
constexpr size_t kHeaderCreated = 1;         // Y-1900, M, D
constexpr size_t kHeaderTableName = 4;       // 16 bytes, NUL padded
constexpr size_t kHeaderPagesPerBlock = 20;  // u16
constexpr size_t kHeaderBytesPerBlock = 22;  // u16
constexpr size_t kHeaderProduction = 24;
constexpr size_t kHeaderTagSlots = 25;
constexpr size_t kHeaderTagEntryLength = 26;
constexpr size_t kHeaderTagCount = 28;   // u16
constexpr size_t kHeaderMarker = 31;     // 0x1B
constexpr size_t kHeaderPageCount = 32;  // u32
constexpr size_t kHeaderFreePage = 36;   // u32
constexpr size_t kHeaderUpdated = 44;    // Y-1900, M, D
// Ours, in bytes that dBASE readers leave alone: a counter of index updates, odd while one is
// being written. An odd value found under the index semaphore is an interrupted update.
constexpr size_t kHeaderUpdateCounter = 48;  // u32
// Ours too: the update counter, page count and the table's record count when the trees were last
// walked whole and found sound (or changed since by updates of ours that began on such a
// record). An opening need not walk them again while the counter and page count are the same and
// the table has not lost records. The counter comes last, so that a record cut short in its
// write does not match.
constexpr size_t kHeaderCheckedRecords = 52;  // u32
constexpr size_t kHeaderCheckedPages = 56;    // u32
constexpr size_t kHeaderCheckedCounter = 60;  // u32
constexpr size_t kHeaderCheckEnd = 64;
// Ours as well: the coverage record. The tags list every record up to the recorded count at the
// keys it holds, for as long as the table file is as it was then: of the recorded size and
// modification stamp. Again the counter comes last.
constexpr size_t kHeaderCoveredRecords = 64;   // u32
constexpr size_t kHeaderCoveredSize = 68;      // u64
constexpr size_t kHeaderCoveredModified = 76;  // u64
constexpr size_t kHeaderCoveredCounter = 84;   // u32
constexpr size_t kHeaderStateEnd = 88;
constexpr size_t kHeaderBytes = 4 * 512;  // header and tag table: pages 0 to 3

constexpr uint8_t kVersion = 2;
constexpr uint8_t kTagSlots = 48;
constexpr uint8_t kTagEntryBytes = 32;
constexpr uint8_t kMarker = 0x1B;

// Tag table: slot 0 at 512 is reserved, entry i (from 0) at 512 + 32 * (i + 1).
constexpr size_t kTagTableOffset = 512;
constexpr size_t kTagSlotZeroFlag = 17;  // byte 529 of the file is 1
constexpr size_t kEntryHeaderPage = 0;   // u32
constexpr size_t kEntryName = 4;         // 11 bytes
constexpr size_t kEntryNameBytes = 11;
constexpr size_t kEntryKeyFormat = 15;
constexpr size_t kEntryLeft = 16;  // binary tree of names, 1-based entry numbers
constexpr size_t kEntryRight = 17;
constexpr size_t kEntryParent = 18;
constexpr size_t kEntryMarker = 19;  // 0x02
constexpr size_t kEntryKeyType = 20;

// Tag header block.
constexpr size_t kTagRoot = 0;  // u32
constexpr size_t kTagKeyFormat = 8;
constexpr size_t kTagKeyType = 9;
constexpr size_t kTagKeyLength = 12;    // u16
constexpr size_t kTagMaxKeys = 14;      // u16
constexpr size_t kTagNumericFlag = 16;  // u16
constexpr size_t kTagEntryLength = 18;  // u16
constexpr size_t kTagUniqueByte = 23;
constexpr size_t kTagExpression = 24;
constexpr size_t kTagExpressionMax = 220;

constexpr uint8_t kKeyFormatBase = 0x10;
constexpr uint8_t kKeyFormatDescending = 0x08;
constexpr uint8_t kKeyFormatUnique = 0x40;

}  // namespace storage::mdx
