#pragma once

#include <QString>

// String-table ids the windows use.
namespace ids {

inline constexpr unsigned kAppTitle = 128;
inline constexpr unsigned kAppTitleWithFile = 129;
inline constexpr unsigned kColumnName = 61211;
inline constexpr unsigned kColumnComments = 61212;
inline constexpr unsigned kColumnModified = 61213;
inline constexpr unsigned kColumnCreated = 61214;
inline constexpr unsigned kCannotInitDocument = 61215;
inline constexpr unsigned kOutOfMemory = 61218;
inline constexpr unsigned kLoginFailed = 61221;
inline constexpr unsigned kSureToQuit = 61223;
inline constexpr unsigned kOpenFilter = 61226;
inline constexpr unsigned kOpenTitle = 61227;
inline constexpr unsigned kSaveTitle = 61229;
inline constexpr unsigned kFavorites = 61244;
inline constexpr unsigned kSearch = 61245;
inline constexpr unsigned kFolders = 61246;
inline constexpr unsigned kProgramOptions = 61254;
inline constexpr unsigned kGoTo = 61268;
inline constexpr unsigned kPasswordTabs = 61306;
inline constexpr unsigned kSearchResults = 61308;
inline constexpr unsigned kCreditCardTabs = 61313;
inline constexpr unsigned kCloseSessionFirst = 61324;
inline constexpr unsigned kCloseAllItems = 61325;
inline constexpr unsigned kNotLoggedIn = 61333;
inline constexpr unsigned kFileNotExists = 61336;
inline constexpr unsigned kEnterPassword = 61338;

inline constexpr unsigned kChoiceText = 62800;
inline constexpr unsigned kChoiceCreate = 62801;
inline constexpr unsigned kChoiceOpen = 62802;
inline constexpr unsigned kChoiceDemo = 62803;
inline constexpr unsigned kBrowse = 62804;
inline constexpr unsigned kWizardWelcome = 62805;
inline constexpr unsigned kWizardFileName = 62806;
inline constexpr unsigned kWizardPassword = 62807;
inline constexpr unsigned kWizardPreFill = 62808;
inline constexpr unsigned kWizardFinish = 62809;
inline constexpr unsigned kWizardTitle = 62810;
inline constexpr unsigned kLeaveEmpty = 62811;
inline constexpr unsigned kCreateCategories = 62812;
inline constexpr unsigned kWizardWelcomeText = 62813;
inline constexpr unsigned kLabelFileName = 62814;
inline constexpr unsigned kLabelUsername = 62815;
inline constexpr unsigned kLabelPassword = 62816;
inline constexpr unsigned kLabelRetype = 62817;
inline constexpr unsigned kLabelHint = 62818;
inline constexpr unsigned kMore = 62819;
inline constexpr unsigned kMenuHint = 62820;
inline constexpr unsigned kMenuCreate = 62821;
inline constexpr unsigned kMenuOpenAnother = 62822;
inline constexpr unsigned kMenuAbout = 62823;
inline constexpr unsigned kPreviewLogin = 62824;
inline constexpr unsigned kPreviewPassword = 62825;
inline constexpr unsigned kPreviewEmail = 62826;
inline constexpr unsigned kPreviewUrl = 62827;
inline constexpr unsigned kPreviewNameOnCard = 62828;
inline constexpr unsigned kPreviewNumber = 62829;
inline constexpr unsigned kPreviewSecurityCode = 62830;
inline constexpr unsigned kPreviewPin = 62831;
inline constexpr unsigned kPreviewCardType = 62832;
inline constexpr unsigned kPreviewExpiration = 62833;
inline constexpr unsigned kPreviewBank = 62834;
inline constexpr unsigned kPreviewAddress = 62835;
inline constexpr unsigned kPreviewFileName = 62836;
inline constexpr unsigned kPreviewSize = 62837;
inline constexpr unsigned kPreviewCustomFields = 62838;
inline constexpr unsigned kPageLayout = 62839;
inline constexpr unsigned kPageCache = 62840;
inline constexpr unsigned kShowPreview = 62841;
inline constexpr unsigned kAdvancedCaption = 62842;
inline constexpr unsigned kRememberTabs = 62843;
inline constexpr unsigned kCacheItems = 62844;
inline constexpr unsigned kInvalidateCache = 62845;
inline constexpr unsigned kPleaseLogin = 62846;
inline constexpr unsigned kAboutText = 62848;
inline constexpr unsigned kOverwriteNote = 62849;
inline constexpr unsigned kPreviewCity = 62850;
inline constexpr unsigned kPreviewCountry = 62851;

} // namespace ids

// The text of a string-table entry as a QString.
QString Tr(unsigned id);
// "long text\nshort text" entries: the part after the line feed (or the whole text).
QString ShortText(unsigned id);
// The part before the line feed (or the whole text), tabs turned into blanks.
QString LongText(unsigned id);
