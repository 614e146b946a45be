#include "platform/objc/AutoreleasePool.h"

#include "platform/objc/MessageSend.h"

#include <vector>

namespace platform::objc {

namespace {

// One stack of pending objects per thread; each pool owns the part above
// the mark it took when it began.
struct PendingObjects {
    std::vector<id> objects;

    void releaseDownTo(std::size_t mark)
    {
        // A dealloc may autorelease further objects: release one at a time.
        while (objects.size() > mark) {
            id object = objects.back();
            objects.pop_back();
            send<void>(object, "release");
        }
    }

    ~PendingObjects() { releaseDownTo(0); }
};

PendingObjects& pending()
{
    thread_local PendingObjects t_pending;
    return t_pending;
}

} // namespace

AutoreleasePool::AutoreleasePool()
    : m_mark(pending().objects.size())
{
}

AutoreleasePool::~AutoreleasePool()
{
    drain();
}

void AutoreleasePool::drain()
{
    pending().releaseDownTo(m_mark);
}

void AutoreleasePool::add(id object)
{
    pending().objects.push_back(object);
}

std::size_t AutoreleasePool::pendingCount()
{
    return pending().objects.size();
}

} // namespace platform::objc
