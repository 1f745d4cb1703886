#pragma once

#include <QByteArray>
#include <QString>

namespace report {

// Qt's PDF writer has no setting for a document's author. This adds one to a file that
// QPdfWriter wrote as PDF/A-1b: an /Author entry in the document information dictionary and the
// same name as dc:creator in the XMP metadata (PDF/A requires the two to agree), then rewrites the
// cross-reference table for the objects that moved.
//
// Returns false, leaving `pdf` as it was, when the file is not laid out as QPdfWriter lays it
// out (one cross-reference section, the information dictionary and the metadata stream written
// plainly) or already names an author.
bool addPdfAuthor(QByteArray& pdf, const QString& author);

}  // namespace report
