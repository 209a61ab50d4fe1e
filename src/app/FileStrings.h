#pragma once

// String ids of the file record dialog and of adding files (texts in strings/files.inc).
namespace fids {

inline constexpr unsigned kSelectFileTitle = 63400;
inline constexpr unsigned kAddFileFilter = 63401;
inline constexpr unsigned kSaveFileFilter = 63402;
inline constexpr unsigned kTitle = 63403;
inline constexpr unsigned kFileNameLabel = 63404;
inline constexpr unsigned kExtensionLabel = 63405;
inline constexpr unsigned kBrowse = 63406;
inline constexpr unsigned kSaveFileOnDisk = 63407;
inline constexpr unsigned kOpen = 63408;
inline constexpr unsigned kReplaceFile = 63409;
inline constexpr unsigned kDataChanged = 61266;
inline constexpr unsigned kUntitled = 61265;

} // namespace fids
