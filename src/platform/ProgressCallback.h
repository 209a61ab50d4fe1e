#pragma once

#include <cstdint>
#include <functional>

// Told how far a long operation has come (bytes or rows of total). Answering false asks the
// operation to stop; only operations that can stop without harm ask, the others ignore it.
using PROGRESS_CALLBACK = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// Calls callback when there is one; true (go on) when there is none.
inline bool ReportProgress(const PROGRESS_CALLBACK& callback, std::uint64_t done,
                           std::uint64_t total) {
    return !callback || callback(done, total);
}
