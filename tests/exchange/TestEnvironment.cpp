// The mail window tests run without a display: the offscreen platform is chosen before Qt starts (the test
// binary is also run at build time to list its tests).
#include <cstdlib>

namespace {
const int kOffscreen = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return 0;
}();
}  // namespace
