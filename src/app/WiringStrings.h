#pragma once

#include "app/AppStrings.h"

// String ids of the folder, backup and password dialogs (texts in strings/app.inc).
namespace wids {

inline constexpr unsigned kSelectFolderTitle = 62889;
inline constexpr unsigned kSelectFolderPrompt = 62890;
inline constexpr unsigned kNewFolderTitle = 62891;
inline constexpr unsigned kNewFolderName = 62892;
inline constexpr unsigned kNewFolderParent = 62893;
inline constexpr unsigned kBackupTitle = 62960;
inline constexpr unsigned kLastBackup = 62961;
inline constexpr unsigned kSaveBackup = 62962;
inline constexpr unsigned kCancel = 62963;
inline constexpr unsigned kBackupOptionsButton = 62964;
inline constexpr unsigned kBackupOptionsTitle = 62965;
inline constexpr unsigned kRemindEvery = 62966;
inline constexpr unsigned kDays = 62967;
inline constexpr unsigned kBackupThisFile = 62968;
inline constexpr unsigned kBackupFolder = 62969;
inline constexpr unsigned kBrowse = 62970;
inline constexpr unsigned kAppendTimestamp = 62971;
inline constexpr unsigned kTimestampFormat = 62972;
inline constexpr unsigned kFormats = 62973;
inline constexpr unsigned kFormatTest = 62974;
inline constexpr unsigned kManagerTitle = 62975;
inline constexpr unsigned kChangePassword = 62976;
inline constexpr unsigned kCompress = 62977;
inline constexpr unsigned kLocate = 62978;
inline constexpr unsigned kCreateNew = 62979;
inline constexpr unsigned kOpenExisting = 62980;
inline constexpr unsigned kClose = 62981;
inline constexpr unsigned kCurrentFile = 62982;
inline constexpr unsigned kChangeTitle = 62983;
inline constexpr unsigned kCurrentPassword = 62984;
inline constexpr unsigned kNewUsername = 62985;
inline constexpr unsigned kNewPassword = 62986;
inline constexpr unsigned kNewPasswordAgain = 62987;
inline constexpr unsigned kPasswordHint = 62988;
inline constexpr unsigned kRemoveFromList = 62989;
inline constexpr unsigned kOpenMenu = 62990;
// Texts of other layers the dialogs show.
inline constexpr unsigned kBackupFolderTitle = 61384;
inline constexpr unsigned kFileFilter = 61226;
inline constexpr unsigned kOpenTitle = 61227;

} // namespace wids
