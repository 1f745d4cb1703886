#pragma once

namespace platform {

// Shows the storage layer's index progress ("Indexing <file>...") in a small window while an
// index is built, and hides it when the build is over (an empty text). Install once at start.
void installIndexProgressWindow();

}  // namespace platform
