#include "FakeBtree.h"

#include <cstring>

namespace faketest {

std::map<std::string, std::shared_ptr<FakeFile>>& FakeFiles() {
    static std::map<std::string, std::shared_ptr<FakeFile>> files;
    return files;
}

sqlite2::BtreeOpener FakeOpener() {
    return [](const std::string& path, std::unique_ptr<sqlite2::Btree>& out, std::string&) {
        auto& f = FakeFiles()[path];
        if (!f)
            f = std::make_shared<FakeFile>();
        out = std::make_unique<FakeBtree>(path, f);
        return 0;
    };
}

std::map<std::string, std::string>& FakeCursor::Tree() const {
    return m_bt->File().state.trees[m_root];
}

sqlite2::Rc FakeCursor::Moveto(const void* key, int nKey, int& res) {
    std::string k(static_cast<const char*>(key), static_cast<size_t>(nKey));
    auto& t = Tree();
    if (t.empty()) {
        m_key.reset();
        res = -1;
        return 0;
    }
    auto it = t.lower_bound(k);
    if (it != t.end() && it->first == k) {
        res = 0;
    } else if (it != t.end()) {
        res = 1;
    } else {
        --it;
        res = -1;
    }
    m_key = it->first;
    return 0;
}

sqlite2::Rc FakeCursor::First(bool& empty) {
    auto& t = Tree();
    empty = t.empty();
    if (empty)
        m_key.reset();
    else
        m_key = t.begin()->first;
    return 0;
}

sqlite2::Rc FakeCursor::Last(bool& empty) {
    auto& t = Tree();
    empty = t.empty();
    if (empty)
        m_key.reset();
    else
        m_key = t.rbegin()->first;
    return 0;
}

sqlite2::Rc FakeCursor::Next(bool& done) {
    auto& t = Tree();
    done = true;
    if (!m_key)
        return 0;
    auto it = t.upper_bound(*m_key);
    if (it == t.end()) {
        m_key.reset();
        return 0;
    }
    m_key = it->first;
    done = false;
    return 0;
}

sqlite2::Rc FakeCursor::Prev(bool& done) {
    auto& t = Tree();
    done = true;
    if (!m_key)
        return 0;
    auto it = t.lower_bound(*m_key);
    if (it == t.begin()) {
        m_key.reset();
        return 0;
    }
    --it;
    m_key = it->first;
    done = false;
    return 0;
}

sqlite2::Rc FakeCursor::Insert(const void* key, int nKey, const void* data, int nData) {
    if (!m_writable)
        return 6;
    if (!m_bt->InTrans())
        return 1;
    FakeFile& f = m_bt->File();
    if (f.failInsertsAfter == 0)
        return 13;
    if (f.failInsertsAfter > 0)
        --f.failInsertsAfter;
    std::string k(static_cast<const char*>(key), static_cast<size_t>(nKey));
    f.Remember(m_root, k);
    Tree()[k] = std::string(static_cast<const char*>(data), static_cast<size_t>(nData));
    m_key = k;
    return 0;
}

sqlite2::Rc FakeCursor::Delete() {
    if (!m_writable)
        return 6;
    if (!m_bt->InTrans())
        return 1;
    if (!Valid())
        return 1;
    m_bt->File().Remember(m_root, *m_key);
    Tree().erase(*m_key);
    // Next finds the entry after the deleted key.
    return 0;
}

sqlite2::Rc FakeCursor::Key(int offset, int amt, void* buf) {
    if (!Valid() || offset < 0 || offset + amt > static_cast<int>(m_key->size()))
        return 1;
    memcpy(buf, m_key->data() + offset, static_cast<size_t>(amt));
    return 0;
}

sqlite2::Rc FakeCursor::Data(int offset, int amt, void* buf) {
    if (!Valid())
        return 1;
    const std::string& d = Tree().at(*m_key);
    if (offset < 0 || offset + amt > static_cast<int>(d.size()))
        return 11;
    memcpy(buf, d.data() + offset, static_cast<size_t>(amt));
    return 0;
}

sqlite2::Rc FakeCursor::KeyCompare(const void* key, int nKey, int nIgnore, int& res) {
    if (!Valid())
        return 1;
    std::string mine = m_key->substr(0, m_key->size() - static_cast<size_t>(nIgnore));
    std::string other(static_cast<const char*>(key), static_cast<size_t>(nKey));
    int c = mine.compare(other);
    res = c < 0 ? -1 : c > 0 ? 1 : 0;
    return 0;
}

} // namespace faketest
