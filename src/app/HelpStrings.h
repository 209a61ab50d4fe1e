#pragma once

// String-table ids of the help window and the tip of the day.
namespace hids {

inline constexpr unsigned kHelpTitle = 63700;
inline constexpr unsigned kContents = 63701;
inline constexpr unsigned kBack = 63702;
inline constexpr unsigned kForward = 63703;
inline constexpr unsigned kHome = 63704;
inline constexpr unsigned kTipTitle = 63705;
inline constexpr unsigned kDidYouKnow = 63706;
inline constexpr unsigned kNextTip = 63707;
inline constexpr unsigned kClose = 63708;
// Tips are numbered from here without gaps; the first missing id ends them.
inline constexpr unsigned kFirstTip = 63720;
inline constexpr unsigned kLastTip = 63759;

} // namespace hids
