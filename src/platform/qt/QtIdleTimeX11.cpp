#include "platform/qt/QtIdleTimeX11.h"

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace txx11 {
namespace {

struct QUERY {
    Display* display;
    XScreenSaverInfo* info;
};

} // namespace

void* OpenIdleQuery(void* display) {
    auto* dpy = static_cast<Display*>(display);
    if (!dpy)
        return nullptr;
    int eventBase = 0;
    int errorBase = 0;
    if (!XScreenSaverQueryExtension(dpy, &eventBase, &errorBase))
        return nullptr;
    XScreenSaverInfo* info = XScreenSaverAllocInfo();
    if (!info)
        return nullptr;
    return new QUERY{dpy, info};
}

bool QueryIdleMs(void* query, uint64_t& ms) {
    auto* q = static_cast<QUERY*>(query);
    if (!q || !XScreenSaverQueryInfo(q->display, DefaultRootWindow(q->display), q->info))
        return false;
    ms = q->info->idle;
    return true;
}

void CloseIdleQuery(void* query) {
    auto* q = static_cast<QUERY*>(query);
    if (!q)
        return;
    XFree(q->info);
    delete q;
}

} // namespace txx11
