#include "platform/ProfileStore.h"

#include "platform/MemoryProfileStore.h"

#include <atomic>

namespace {

std::atomic<IProfileStore*> g_store{nullptr};

IProfileStore& DefaultStore() {
    static CMemoryProfileStore store;
    return store;
}

} // namespace

IProfileStore& ProfileStore() {
    IProfileStore* store = g_store.load();
    return store ? *store : DefaultStore();
}

IProfileStore* SetProfileStore(IProfileStore* store) {
    return g_store.exchange(store);
}
