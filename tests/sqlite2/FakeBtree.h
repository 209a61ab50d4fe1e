#pragma once
// An in-memory B-tree for testing the SQL half on its own: ordered maps per root, whole-state
// snapshots for transactions and checkpoints, one writer at a time per "file" (path).

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sqlite2/Connection.h"
#include "sqlite2/btree.h"

namespace faketest {

struct FakeState {
    std::map<int, std::map<std::string, std::string>> trees;
    int meta[10] = {};
    int nextRoot = 3;
};

struct FakeFile {
    FakeState state;
    // Undo steps of the open transaction; a checkpoint is a position in this log.
    std::vector<std::function<void(FakeState&)>> undo;
    void Remember(int root, const std::string& key) {
        auto& t = state.trees[root];
        auto it = t.find(key);
        std::optional<std::string> old;
        if (it != t.end())
            old = it->second;
        undo.push_back([root, key, old](FakeState& s) {
            if (old)
                s.trees[root][key] = *old;
            else
                s.trees[root].erase(key);
        });
    }
    void RememberAll() {
        undo.push_back([copy = state](FakeState& s) { s = copy; });
    }
    void UndoTo(size_t mark) {
        while (undo.size() > mark) {
            undo.back()(state);
            undo.pop_back();
        }
    }
    void* writer = nullptr;    // the FakeBtree holding the write lock
    int failInsertsAfter = -1; // simulated disk full: inserts left before failing
};

class FakeBtree;

class FakeCursor : public sqlite2::BtCursor {
public:
    FakeCursor(FakeBtree* bt, int root, bool writable)
        : m_bt(bt), m_root(root), m_writable(writable) {}
    sqlite2::Rc Moveto(const void* key, int nKey, int& res) override;
    sqlite2::Rc First(bool& empty) override;
    sqlite2::Rc Last(bool& empty) override;
    sqlite2::Rc Next(bool& done) override;
    sqlite2::Rc Prev(bool& done) override;
    bool Valid() const override { return m_key.has_value() && Tree().count(*m_key); }
    sqlite2::Rc Insert(const void* key, int nKey, const void* data, int nData) override;
    sqlite2::Rc Delete() override;
    sqlite2::Rc KeySize(int& n) override {
        n = Valid() ? static_cast<int>(m_key->size()) : 0;
        return 0;
    }
    sqlite2::Rc Key(int offset, int amt, void* buf) override;
    sqlite2::Rc DataSize(int& n) override {
        n = Valid() ? static_cast<int>(Tree().at(*m_key).size()) : 0;
        return 0;
    }
    sqlite2::Rc Data(int offset, int amt, void* buf) override;
    sqlite2::Rc KeyCompare(const void* key, int nKey, int nIgnore, int& res) override;

private:
    std::map<std::string, std::string>& Tree() const;
    FakeBtree* m_bt;
    int m_root;
    bool m_writable;
    std::optional<std::string> m_key;
};

class FakeBtree : public sqlite2::Btree {
public:
    FakeBtree(std::string path, std::shared_ptr<FakeFile> file)
        : m_path(std::move(path)), m_file(std::move(file)) {}
    ~FakeBtree() override {
        if (InTrans())
            Rollback();
    }

    sqlite2::Rc BeginTrans() override {
        if (m_file->writer)
            return 5;
        m_file->writer = this;
        m_file->undo.clear();
        return 0;
    }
    sqlite2::Rc Commit() override {
        if (!InTrans())
            return 1;
        m_file->writer = nullptr;
        m_file->undo.clear();
        m_ckpt.reset();
        return 0;
    }
    sqlite2::Rc Rollback() override {
        if (!InTrans())
            return 1;
        m_file->UndoTo(0);
        m_file->writer = nullptr;
        m_ckpt.reset();
        return 0;
    }
    bool InTrans() const override { return m_file->writer == this; }
    bool ReadOnly() const override { return false; }
    sqlite2::Rc BeginCkpt() override {
        if (!InTrans())
            return 1;
        m_ckpt = m_file->undo.size();
        return 0;
    }
    sqlite2::Rc CommitCkpt() override {
        m_ckpt.reset();
        return 0;
    }
    sqlite2::Rc RollbackCkpt() override {
        if (m_ckpt)
            m_file->UndoTo(*m_ckpt);
        m_ckpt.reset();
        return 0;
    }
    sqlite2::Rc CreateTable(int& root) override { return NewRoot(root); }
    sqlite2::Rc CreateIndex(int& root) override { return NewRoot(root); }
    sqlite2::Rc DropTable(int root) override {
        if (!InTrans())
            return 1;
        m_file->RememberAll();
        m_file->state.trees.erase(root);
        return 0;
    }
    sqlite2::Rc ClearTable(int root) override {
        if (!InTrans())
            return 1;
        m_file->RememberAll();
        m_file->state.trees[root].clear();
        return 0;
    }
    sqlite2::Rc GetMeta(int meta[10]) override {
        if (Blocked())
            return 5;
        for (int i = 0; i < 10; ++i)
            meta[i] = m_file->state.meta[i];
        return 0;
    }
    sqlite2::Rc UpdateMeta(const int meta[10]) override {
        if (!InTrans())
            return 1;
        m_file->undo.push_back(
            [old = std::vector<int>(m_file->state.meta, m_file->state.meta + 10)](FakeState& st) {
                std::copy(old.begin(), old.end(), st.meta);
            });
        for (int i = 1; i < 10; ++i)
            m_file->state.meta[i] = meta[i];
        return 0;
    }
    sqlite2::Rc Cursor(int root, bool writable, std::unique_ptr<sqlite2::BtCursor>& out) override {
        if (Blocked())
            return 5;
        out = std::make_unique<FakeCursor>(this, root, writable);
        return 0;
    }
    void IntegrityCheck(const std::vector<int>& roots, std::vector<std::string>& errors) override {
        for (int r : roots)
            if (r != 2 && !m_file->state.trees.count(r))
                errors.push_back("Page " + std::to_string(r) + " is never used");
    }
    std::string FileName() const override { return m_path; }
    int PageCount() override { return static_cast<int>(m_file->state.trees.size()) + 1; }
    void SetCacheSize(int) override {}
    void SetSynchronous(bool) override {}
    sqlite2::Rc CopyFrom(sqlite2::Btree& source) override {
        if (!InTrans())
            return 1;
        m_file->RememberAll();
        m_file->state = static_cast<FakeBtree&>(source).m_file->state;
        return 0;
    }

    FakeFile& File() { return *m_file; }
    bool Blocked() const { return m_file->writer && m_file->writer != this; }

private:
    sqlite2::Rc NewRoot(int& root) {
        if (!InTrans())
            return 1;
        m_file->RememberAll();
        root = m_file->state.nextRoot++;
        m_file->state.trees[root];
        return 0;
    }
    std::string m_path;
    std::shared_ptr<FakeFile> m_file;
    std::optional<size_t> m_ckpt;
};

// Files by path, so several connections (and VACUUM's temporary copy) find each other.
std::map<std::string, std::shared_ptr<FakeFile>>& FakeFiles();
sqlite2::BtreeOpener FakeOpener();

} // namespace faketest
