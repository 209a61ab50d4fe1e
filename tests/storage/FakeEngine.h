#pragma once

#include "storage/SQLiteEngine.h"

#include <deque>
#include <set>
#include <string>
#include <vector>

// A scripted stand-in for the engine, installed for the lifetime of the object. Answers come
// from the public fields; every call is counted so tests can check what the layer did.
class CFakeEngine {
public:
    struct STEP {
        int result;                      // SQLITE_ROW, SQLITE_DONE, SQLITE_BUSY, an error ...
        std::vector<const char*> values; // for SQLITE_ROW
    };

    CFakeEngine();
    ~CFakeEngine();
    CFakeEngine(const CFakeEngine&) = delete;
    CFakeEngine& operator=(const CFakeEngine&) = delete;

    // Answers.
    bool openFails = false;
    std::string openError = "unable to open database: x";
    int execResult = SQLITE_OK;
    const char* execError = nullptr; // message handed out by exec, also with SQLITE_OK
    int compileResult = SQLITE_OK;
    const char* compileError = nullptr;
    bool compileYieldsNoStatement = false;
    std::deque<STEP> steps; // then DONE
    int finalizeResult = SQLITE_OK;
    const char* finalizeError = nullptr;
    std::vector<const char*> columnNames = {"id"};

    // Observations.
    int opens = 0;
    int closes = 0;
    int stepsTaken = 0;
    int finalizes = 0;
    int doubleFinalizes = 0;
    std::vector<std::string> executed;
    std::vector<std::string> compiled;
    std::set<int> liveStatements;
    int messagesAllocated = 0;
    int messagesFreed = 0;

private:
    SQLITE_ENGINE m_previous;
};
