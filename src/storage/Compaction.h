#pragma once

#include <string>

class CKivDatabase;

// The database manager's commands on the open data file.

// "Com&press": runs the five vacuum statements in order on the document's connection (null
// while logged out: notice "You are not logged in...", nothing changes). A database error
// stops the sequence and is shown with the stop icon. True when all five succeeded.
bool CompactDataFile(CKivDatabase* db);

// "&Locate": opens a file-manager window on the folder of the open data file (an empty path
// while logged out gives the same notice). True when the window could be started.
bool LocateDataFile(const std::string& path);
