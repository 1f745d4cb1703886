#pragma once

namespace platform {

// Settings every run of the program makes once its QApplication exists.
void setUpApplication();

}  // namespace platform
