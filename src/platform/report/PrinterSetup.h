// The real printer set-up dialog of the program: which printer (or a PDF file) and the page orientation.
// Tests and the scenario tool answer the same request through their own user agent.
#pragma once

struct TPrinterRequest;

namespace report {

// Shows the dialog; true when the user confirmed, with the choice written into the request.
bool runPrinterSetup(TPrinterRequest& request);

}  // namespace report
