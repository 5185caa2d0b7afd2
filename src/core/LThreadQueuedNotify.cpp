#include "core/LThreadQueuedNotify.h"

#include <atomic>

#include "core/LDispatcher.h"

struct LThreadQueuedNotify::Link {
    std::atomic<LThreadQueuedNotify*> owner;
};

LThreadQueuedNotify::LThreadQueuedNotify() : link_(std::make_shared<Link>()) { link_->owner.store(this); }

LThreadQueuedNotify::~LThreadQueuedNotify() { link_->owner.store(nullptr); }

void LThreadQueuedNotify::Notify()
{
    std::shared_ptr<Link> link = link_;
    LUiDispatcher().Post([link] {
        // Runs on the user-interface thread, which is also the only one that
        // destroys the owner, so the owner cannot vanish during the call.
        if (LThreadQueuedNotify* owner = link->owner.load())
            owner->OnNotify();
    });
}
