#pragma once

#include "app/AppStrings.h"

// String ids of the progress windows (texts in strings/progress.inc).
namespace pids {

inline constexpr unsigned kCancel = 63200;
inline constexpr unsigned kStoringFile = 63201;
inline constexpr unsigned kSavingFile = 63202;
inline constexpr unsigned kImporting = 63203;
inline constexpr unsigned kExporting = 63204;
inline constexpr unsigned kCompacting = 63205;
inline constexpr unsigned kChangingPassword = 63206;
inline constexpr unsigned kPleaseWait = 63207;

} // namespace pids
