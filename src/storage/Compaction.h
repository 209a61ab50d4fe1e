#pragma once

#include "platform/ProgressCallback.h"

#include <functional>
#include <string>

class CKivDatabase;

// The database manager's commands on the open data file.

// "Com&press": runs the five vacuum statements in order on the document's connection (null
// while logged out: notice "You are not logged in...", nothing changes). A database error
// stops the sequence and is shown with the stop icon. True when all five succeeded.
bool CompactDataFile(CKivDatabase* db);

// The five vacuum statements on a connection of its own to the file at path, closed again
// before it returns. Shows nothing, so it may run on a worker thread; the first failure is
// thrown as CSQLiteException. progress is told after each statement (of five); its answer is
// ignored, a vacuum cannot stop part-way.
void CompactDataFileAt(const std::string& path, const PROGRESS_CALLBACK& progress = {});

enum class COMPACT_RESULT { kCompacted, kFailed, kNotReopened };

// Compacts the open data file without ever using the document's connection db off the
// user-interface thread: db is closed, run is given the work (CompactDataFileAt on path) and
// must return once it has run, on whatever thread, and db is then opened on path again. run
// answers false when db is no longer there to reopen (the document closed meanwhile). A
// database error is shown with the stop icon afterwards. kNotReopened when db could not be
// opened again (shown too) or was gone: the document must then close the file. A null db or
// empty path gives the notice "You are not logged in..." and kFailed.
using COMPACT_RUNNER = std::function<bool(const std::function<void()>& work)>;
COMPACT_RESULT CompactOpenDataFile(CKivDatabase* db, const std::string& path,
                                   const COMPACT_RUNNER& run,
                                   const PROGRESS_CALLBACK& progress = {});

// "&Locate": opens a file-manager window on the folder of the open data file (an empty path
// while logged out gives the same notice). True when the window could be started.
bool LocateDataFile(const std::string& path);
