#pragma once

#include <QByteArray>
#include <QString>

namespace report {

// Completes the metadata of a file that QPdfWriter wrote as PDF/A-1b, where PDF/A requires the
// document information dictionary and the XMP metadata to agree:
// - Qt reads the clock once for the dictionary's /CreationDate and once more for the XMP dates,
//   which then differ whenever a second passes in between; the XMP dates are set to the
//   dictionary's.
// - Qt has no setting for the author: a non-empty `author` becomes /Author in the dictionary and
//   dc:creator in the XMP.
// The cross-reference table is rewritten for the objects that moved.
//
// Returns false, leaving `pdf` as it was, when the file is not laid out as QPdfWriter lays it
// out (one cross-reference section, the dictionary and the metadata stream written plainly) or
// already names an author.
bool completePdfMetadata(QByteArray& pdf, const QString& author);

}  // namespace report
