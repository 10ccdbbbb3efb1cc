// Where finished pages go: the printer (with no dialog) or the modal preview window. Both ask the user
// through the application object, so tests can answer: with no printer installed, printing says so and
// offers to save the pages as a PDF file instead.
#pragma once

#include <functional>

#include "platform/report/PageModel.h"

namespace report {

// When set, printed documents go here instead of to a printer (tests, and tools that collect the output).
using PrintSink = std::function<void(const Document&)>;
void setPrintSink(PrintSink sink);

void printDocument(const Document& doc);
// Returns when the preview window is closed.
void previewDocument(const Document& doc);

}  // namespace report
