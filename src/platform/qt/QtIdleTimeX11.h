#pragma once

#include <cstdint>

// The X11 screen saver extension's idle counter, kept apart because the X headers define
// names (KeyPress, None, Bool) that clash with Qt's.
namespace txx11 {

// A query handle for the display, or null when the server lacks the extension.
void* OpenIdleQuery(void* display);
// Milliseconds since the last input anywhere on the display; false when the query failed.
bool QueryIdleMs(void* query, uint64_t& ms);
void CloseIdleQuery(void* query);

} // namespace txx11
