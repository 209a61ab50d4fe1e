#include "FakeEngine.h"

#include <cstdlib>
#include <cstring>

namespace {

CFakeEngine* g_fake = nullptr;
int g_connection = 0;
int g_nextStatement = 1;
std::vector<const char*> g_values;

char* Message(const char* text) {
    if (!text)
        return nullptr;
    ++g_fake->messagesAllocated;
    return ::strdup(text);
}

sqlite* FakeOpen(const char*, int, char** error) {
    ++g_fake->opens;
    if (g_fake->openFails) {
        *error = Message(g_fake->openError.c_str());
        return nullptr;
    }
    *error = nullptr;
    return reinterpret_cast<sqlite*>(&g_connection);
}

void FakeClose(sqlite*) {
    ++g_fake->closes;
}

int FakeExec(sqlite*, const char* sql, sqlite_callback, void*, char** error) {
    g_fake->executed.emplace_back(sql);
    *error = Message(g_fake->execError);
    return g_fake->execResult;
}

int FakeCompile(sqlite*, const char* sql, const char** tail, sqlite_vm** vm, char** error) {
    g_fake->compiled.emplace_back(sql);
    *tail = sql + std::strlen(sql);
    *vm = nullptr;
    *error = Message(g_fake->compileError);
    if (g_fake->compileResult != SQLITE_OK || g_fake->compileYieldsNoStatement)
        return g_fake->compileResult;
    const int id = g_nextStatement++;
    g_fake->liveStatements.insert(id);
    *vm = reinterpret_cast<sqlite_vm*>(static_cast<std::intptr_t>(id));
    return SQLITE_OK;
}

int FakeStep(sqlite_vm*, int* count, const char*** values, const char*** names) {
    ++g_fake->stepsTaken;
    if (g_fake->steps.empty()) {
        *count = static_cast<int>(g_fake->columnNames.size());
        *values = nullptr;
        *names = g_fake->columnNames.data();
        return SQLITE_DONE;
    }
    CFakeEngine::STEP step = g_fake->steps.front();
    g_fake->steps.pop_front();
    *count = 0;
    *values = nullptr;
    *names = nullptr;
    if (step.result == SQLITE_ROW) {
        g_values = step.values;
        *count = static_cast<int>(g_values.size());
        *values = g_values.data();
        *names = g_fake->columnNames.data();
    }
    return step.result;
}

int FakeFinalize(sqlite_vm* vm, char** error) {
    ++g_fake->finalizes;
    const int id = static_cast<int>(reinterpret_cast<std::intptr_t>(vm));
    if (g_fake->liveStatements.erase(id) == 0)
        ++g_fake->doubleFinalizes;
    if (error)
        *error = Message(g_fake->finalizeError);
    return g_fake->finalizeResult;
}

int FakeLastInsertRowid(sqlite*) {
    return 42;
}

void FakeFreemem(void* p) {
    if (p)
        ++g_fake->messagesFreed;
    std::free(p);
}

} // namespace

CFakeEngine::CFakeEngine() {
    g_fake = this;
    SQLITE_ENGINE fake = RealSQLiteEngine();
    fake.open = FakeOpen;
    fake.close = FakeClose;
    fake.exec = FakeExec;
    fake.compile = FakeCompile;
    fake.step = FakeStep;
    fake.finalize = FakeFinalize;
    fake.lastInsertRowid = FakeLastInsertRowid;
    fake.vmprintf = nullptr; // formatting is tested against the real engine
    fake.freemem = FakeFreemem;
    m_previous = SetSQLiteEngine(fake);
}

CFakeEngine::~CFakeEngine() {
    SetSQLiteEngine(m_previous);
    g_fake = nullptr;
}
