#pragma once

#include <QString>

// Registers the data-file types with the desktop: a .desktop entry that opens them with this
// program, a MIME type for *.tpx and *.trx, and the program icon, all under the user's data
// folder (dataHome; by default the XDG data home). Files are only written when their content
// changed. The result is for tests; start-up does not check it.
bool RegisterDocumentTypes(const QString& programPath, const QString& dataHome = QString());

// The texts written, for tests.
QString DesktopEntryText(const QString& programPath);
QString MimeTypeText();

inline constexpr const char* kMimeType = "application/x-tresorix-datafile";
