#pragma once

#include <string>

// Whether text may name a new data file: a valid full path or, failing that, a valid bare file
// name. Components follow the Windows naming rules (no reserved device names, none of
// tab " * / : < > ? \ |, no leading space, no trailing space or dot, at most 255 characters),
// so that a data file made here can be copied to any desktop. A full path starts with two
// backslashes (network path), a drive designator ("C:") or, on this platform, "/"; it may
// have at most 260 characters, and a trailing separator is allowed.
bool IsValidFileName(const std::string& text);

// Whether one component (or a bare file name) follows the naming rules above.
bool IsValidFileNameComponent(const std::string& component);

// True for aux, con, nul, prn, com1-com9, lpt1-lpt9 and clock$, in any letter case.
bool IsReservedDeviceName(const std::string& component);
