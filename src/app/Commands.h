#pragma once

// Command identifiers of the menus, tool bars and accelerators. Each is also the string-table
// id of its tool tip ("long text\nshort text").
namespace cmd {

inline constexpr int kSave = 3;
inline constexpr int kSaveAndCreate = 174;
inline constexpr int kShowTree = 32771;
inline constexpr int kShowSearch = 32772;
inline constexpr int kShowFavorites = 32773;
inline constexpr int kBack = 32774;
inline constexpr int kForward = 32775;
inline constexpr int kOptions = 32777;
inline constexpr int kNewPassword = 32778;
inline constexpr int kDelete = 32779;
inline constexpr int kMoveTo = 32780;
inline constexpr int kNewFolder = 32781;
inline constexpr int kNewCreditCard = 32782;
inline constexpr int kEditorClose = 32783;
inline constexpr int kSaveAndClose = 32784;
inline constexpr int kLayout = 32792;
inline constexpr int kRename = 32793;
inline constexpr int kOpenItem = 32794;
inline constexpr int kAddToFavorites = 32795;
inline constexpr int kBackupOptions = 32796;
inline constexpr int kDatabaseManagement = 32797;
inline constexpr int kEmptyRecycleBin = 32799;
inline constexpr int kFolderProperties = 32806;
inline constexpr int kPasswordHint = 32807;
inline constexpr int kCreateNewStorage = 32808;
inline constexpr int kOpenAnotherStorage = 32809;
inline constexpr int kViewStyleMenu = 32810;
inline constexpr int kRemoveFromFavorites = 32811;
inline constexpr int kAddFile = 32816;
inline constexpr int kLogout = 32817;
inline constexpr int kLogin = 32818;
inline constexpr int kRestoreFromTray = 32819;
inline constexpr int kImportCsv = 32820;
inline constexpr int kExport = 32821;
inline constexpr int kNewNote = 32822;
inline constexpr int kClearClipboard = 32825;
inline constexpr int kPasswordGenerator = 32827;
inline constexpr int kNewUrl = 32834;
inline constexpr int kRefresh = 32836;
inline constexpr int kDuplicate = 32849;
inline constexpr int kSelectAll = 57642;
inline constexpr int kAbout = 57664;
inline constexpr int kExit = 57665;
inline constexpr int kToolbar = 59392;
inline constexpr int kStatusBar = 59393;
inline constexpr int kViewSmallIcons = 59408;
inline constexpr int kViewLargeIcons = 59409;
inline constexpr int kViewList = 59410;
inline constexpr int kViewDetails = 59411;
// Help topics (F1) and the tip of the day come with the help viewer.
inline constexpr int kHelpTopics = 57667;
inline constexpr int kTipOfTheDay = 32800;

} // namespace cmd
