#pragma once
// Result codes and their default messages.

namespace sqlite2 {

enum : int {
    kOk = 0,
    kError = 1,
    kInternal = 2,
    kAbort = 4,
    kBusy = 5,
    kLocked = 6,
    kNoMem = 7,
    kReadOnly = 8,
    kIoErr = 10,
    kCorrupt = 11,
    kFull = 13,
    kCantOpen = 14,
    kSchema = 17,
    kTooBig = 18,
    kConstraint = 19,
    kMismatch = 20,
    kMisuse = 21,
    kNotADb = 26,
    kRow = 100,
    kDone = 101,
};

const char* ErrorString(int rc);

} // namespace sqlite2
