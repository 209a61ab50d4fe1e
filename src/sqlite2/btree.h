#pragma once
// B-tree layer of the engine: tables and indexes of the 2.8 file format over the pager.
// Keys are byte strings ordered by memcmp (shorter first on a tie); every entry carries data.
// This is the boundary between the storage half (os, pager, btree, integrity of pages) and the
// SQL half (records, index keys, schema, statements, C interface) of the engine.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sqlite2 {

// Result codes are the engine's public codes (sqlite.h): 0 ok, 5 busy, 6 locked, 8 readonly,
// 10 I/O error, 11 corrupt, 13 full, 14 cannot open, 26 not a database, ...
using Rc = int;

class BtCursor;

class Btree {
public:
    // Opens (creating when missing and allowed) the file; a file shorter than one page is an
    // empty database. Plays back a hot journal on the first read lock. errmsg gets the
    // engine's message on failure. Open itself reads page 1 once when the file is not locked
    // by a writer, so 10 (a directory), 11 (garbage journal, now deleted) and 26 (not a
    // database) are reported here; a writer's lock is not an error (the first read gets 5).
    // out is set only on success. The Btree must outlive its cursors.
    static Rc Open(const std::string& path, std::unique_ptr<Btree>& out, std::string& errmsg);
    virtual ~Btree() = default;

    // Write transaction: exclusive lock and the journal are taken at once (BEGIN semantics).
    // 5 when another connection (this process or another) holds any lock, 14 when the
    // journal cannot be created. On a read-only file it succeeds and every write gives 8.
    // Commit or Rollback downgrade to a read lock while cursors are open, else unlock.
    virtual Rc BeginTrans() = 0;
    virtual Rc Commit() = 0;
    virtual Rc Rollback() = 0;
    virtual bool InTrans() const = 0;
    virtual bool ReadOnly() const = 0;

    // Statement checkpoints, so a failing statement inside a transaction is undone alone.
    // Only inside a write transaction (else 1); one level. Rollback of the transaction drops
    // an open checkpoint. Cursors stay usable and re-find their entry afterwards.
    virtual Rc BeginCkpt() = 0;
    virtual Rc CommitCkpt() = 0;
    virtual Rc RollbackCkpt() = 0;

    // New empty tree; root gets its page number. Needs a write transaction.
    virtual Rc CreateTable(int& root) = 0;
    virtual Rc CreateIndex(int& root) = 0;
    virtual Rc DropTable(int root) = 0;  // frees every page of the tree
    virtual Rc ClearTable(int root) = 0; // removes every entry, keeps the root

    // Meta values 0..9 of page 1 (index 1 is the schema cookie, 2 the format, ...).
    // meta[0] is the free-page count; UpdateMeta ignores it. GetMeta takes the read lock for
    // the call when none is held (5 when a writer holds the file); an empty file gives zeros.
    virtual Rc GetMeta(int meta[10]) = 0;
    virtual Rc UpdateMeta(const int meta[10]) = 0;

    // Read lock management: a reader takes the shared lock for as long as a cursor is open;
    // BUSY (5) when a writer holds the file. A writable cursor on a read-only file gives 8.
    // Writing through a cursor needs the write transaction (else 1) and gives 6 while another
    // read-only cursor of this connection is open on the same tree.
    virtual Rc Cursor(int root, bool writable, std::unique_ptr<BtCursor>& out) = 0;

    // Checks every structural rule of the format for the given roots (plus the free list and
    // page accounting); appends one message per problem, in the real engine's wording.
    virtual void IntegrityCheck(const std::vector<int>& roots,
                                std::vector<std::string>& errors) = 0;

    virtual std::string FileName() const = 0;
    virtual int PageCount() = 0;

    // Pages kept in memory (default 2000; meta 3 when set). Inside a transaction, changed
    // pages beyond this are written early, after the journal is synced.
    virtual void SetCacheSize(int pages) = 0;
    // false skips every fsync (VACUUM's temporary copy); default true.
    virtual void SetSynchronous(bool on) = 0;
    // Replaces this file's whole content with another database's pages, inside this
    // connection's open write transaction (VACUUM copies a rebuilt file back this way).
    virtual Rc CopyFrom(Btree& source) = 0;
};

class BtCursor {
public:
    virtual ~BtCursor() = default;

    // Positions near key. res < 0: cursor is on an entry smaller than key; 0: on key;
    // > 0: on a larger entry. On an empty tree res is -1 and the cursor is invalid.
    virtual Rc Moveto(const void* key, int nKey, int& res) = 0;
    virtual Rc First(bool& empty) = 0;
    virtual Rc Last(bool& empty) = 0;
    // done is set when the cursor moved past the end (or before the start).
    virtual Rc Next(bool& done) = 0;
    virtual Rc Prev(bool& done) = 0;
    virtual bool Valid() const = 0;

    // Inserts or replaces the entry with this key; the cursor may end anywhere (in practice on
    // the new entry). Other cursors of the tree re-find their entry when next used.
    virtual Rc Insert(const void* key, int nKey, const void* data, int nData) = 0;
    // Deletes the entry under the cursor; afterwards Next goes to the entry that followed and
    // Prev to the one before. Until then Valid() is false.
    virtual Rc Delete() = 0;

    virtual Rc KeySize(int& n) = 0;
    virtual Rc Key(int offset, int amt, void* buf) = 0; // copies amt bytes from offset
    virtual Rc DataSize(int& n) = 0;
    virtual Rc Data(int offset, int amt, void* buf) = 0;
    // Compares the cursor's key without its last nIgnore bytes (e.g. an index key's rowid
    // suffix) with key: the sign of (cursor key - key), as memcmp with the
    // shorter-is-smaller rule.
    virtual Rc KeyCompare(const void* key, int nKey, int nIgnore, int& res) = 0;
};

} // namespace sqlite2
