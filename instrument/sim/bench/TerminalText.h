// Text from a bench file on its way to a terminal: control characters and
// bytes that are not UTF-8 shown as \xNN, so a name cannot move the cursor,
// retitle the window or clear the screen.
#ifndef ZSIM_TERMINALTEXT_H
#define ZSIM_TERMINALTEXT_H

#include "SimExport.h"

#include <string>
#include <string_view>

namespace zsim {

ZSIM_INTERNAL std::string terminalSafe(std::string_view text);

} // namespace zsim

#endif
