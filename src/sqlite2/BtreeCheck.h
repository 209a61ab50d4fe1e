#pragma once
// Structural check of the file: page accounting, free list, overflow chains, cell and free-block
// layout and key order of the given trees, with the real engine's messages.

#include "sqlite2/BtreeImpl.h"

#include <string>
#include <vector>

namespace sqlite2 {

class BtreeChecker {
public:
    BtreeChecker(BtreeImpl& bt, std::vector<std::string>& errors);
    void Run(const std::vector<int>& roots);

private:
    bool CheckRef(Pgno pgno, const std::string& context);
    void CheckFreeList(Pgno head, uint32_t count);
    void CheckOverflow(const uint8_t* cell, const std::string& context);
    void CheckTree(Pgno pgno, const std::string& context, const std::vector<uint8_t>* lower,
                   int depth);
    void CheckSpace(Pgno pgno, const uint8_t* data, const MemPage& mp);
    bool ReadKey(const uint8_t* cell, std::vector<uint8_t>& key);
    int ReadRaw(Pgno pgno, PageRef& ref);
    void Add(const std::string& msg) { m_errors.push_back(msg); }

    BtreeImpl& m_bt;
    const ByteOrder& m_bo;
    std::vector<std::string>& m_errors;
    Pgno m_nPage = 0;
    std::vector<uint8_t> m_refs;
};

} // namespace sqlite2
