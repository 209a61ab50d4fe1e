#pragma once
// One open database: the B-tree, the cached schema, transaction state and open statements.

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>

#include "sqlite2/Ast.h"
#include "sqlite2/Schema.h"
#include "sqlite2/btree.h"

namespace sqlite2 {

class Vm;

using BtreeOpener = std::function<Rc(const std::string&, std::unique_ptr<Btree>&, std::string&)>;

class Connection {
public:
    Connection(std::unique_ptr<Btree> bt, BtreeOpener opener);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens the file and reads its schema; null with err set on failure.
    static std::unique_ptr<Connection> Open(const std::string& path, const BtreeOpener& opener,
                                            std::string& err);

    Btree& Bt() { return *m_bt; }
    const BtreeOpener& Opener() const { return m_opener; }

    // Loads the schema unless it is cached. BUSY when the file cannot be read now.
    Rc EnsureSchema(std::string& err);
    Rc LoadSchema(std::string& err);
    const std::shared_ptr<Schema>& CurrentSchema() const { return m_schema; }
    void DiscardSchema() { m_schema.reset(); }
    // Compares the file's cookie (read under a lock) with the one a statement was built on.
    Rc VerifyCookie(const Schema& s, std::string& err);
    // Gives the file a new cookie, once per transaction, before a schema change.
    Rc ChangeCookie(std::string& err);

    bool InTrans() const { return m_inTrans; }
    bool RollbackOnConflict() const { return m_rollbackOnConflict; }
    Rc Begin(bool rollbackOnConflict, std::string& err);
    Rc Commit(std::string& err);
    Rc Rollback(std::string& err);

    // Runs a writing statement atomically: its own transaction in autocommit mode, a
    // checkpoint (when asked) inside one. body sets wrote before changing anything.
    Rc RunWrite(const Schema& s, Conflict conflict, bool useCkpt,
                const std::function<Rc(bool& wrote, std::string& err)>& body, std::string& err);

    // Tables read by unfinished queries of this connection may not be written.
    void AddReader(int root) { ++m_readers[root]; }
    void RemoveReader(int root);
    bool IsRead(int root) const;

    void Register(Vm* vm) { m_vms.insert(vm); }
    void Unregister(Vm* vm) { m_vms.erase(vm); }
    // Finalizes every open statement and releases the file (closing the connection).
    void Close();

    int lastInsertRowid = 0;
    int changes = 0;

private:
    std::unique_ptr<Btree> m_bt;
    BtreeOpener m_opener;
    std::shared_ptr<Schema> m_schema;
    bool m_inTrans = false;
    bool m_rollbackOnConflict = false;
    bool m_cookieChanged = false;
    std::unordered_map<int, int> m_readers;
    std::set<Vm*> m_vms;
};

// A random number from a generator private to the calling thread.
unsigned RandomInt();

} // namespace sqlite2
