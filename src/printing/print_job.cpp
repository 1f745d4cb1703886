// The print job of the main window's Print command.

#include "printing/print_job.h"

namespace printing {

void runPrintJob(const PrintContext&) {}

}  // namespace printing
