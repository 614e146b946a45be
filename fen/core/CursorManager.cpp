#include "FEN/CursorManager.h"

#include "FEN/Application.h"
#include "FEN/COCOA/WindowImplBase.h"
#include "FEN/DETAIL/CGImageProvider.h"
#include "FEN/Picture.h"
#include "FEN/Window.h"
#include "platform/cg/CGDisplay.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/ObjectRuntime.h"

namespace CV {
namespace FEN {

namespace objc = platform::objc;

void* CursorManager::s_hStdCursors[kStdCursorCount] = {};
bool CursorManager::s_bInit = false;
std::vector<void*> CursorManager::s_collCursors;
int32_t CursorManager::s_nCurrentRegistrationPos = -1;
int32_t CursorManager::s_nRegistrationCount = 0;
int64_t CursorManager::s_hStdRegistration = -1;

namespace {

Class cursorClass()
{
    return objc::ObjectRuntime::lookUpClass("NSCursor");
}

id sharedCursor(const char* selector)
{
    return objc::send<id>(cursorClass(), selector);
}

// A cursor of 16 x 16 fully transparent pixels, owned by the caller.
id makeInvisibleCursor()
{
    Picture picture;
    picture.setSize(16, 16, true);
    picture.setAlphaChannel(true);
    picture.clear(0);
    id image = DETAIL::createNSImageFromPicture(picture, true);
    id cursor =
        objc::send<id>(objc::NSObject::alloc(cursorClass()), "initWithImage:hotSpot:", image, NSMakePoint(0, 0));
    objc::NSObject::release(image);
    return cursor;
}

int32_t positionOf(int64_t handle)
{
    return int32_t(handle >> 32);
}

int32_t numberOf(int64_t handle)
{
    return int32_t(handle & 0xFFFFFFFF);
}

} // namespace

int64_t CursorManager::beginRegistration()
{
    if (s_nCurrentRegistrationPos != -1)
        return -1;
    s_nCurrentRegistrationPos = int32_t(s_collCursors.size());
    const int32_t number = s_nRegistrationCount++;
    return (int64_t(s_nCurrentRegistrationPos) << 32) | uint32_t(number);
}

void CursorManager::endRegistration(int64_t handle)
{
    if (numberOf(handle) >= 0 && positionOf(handle) == s_nCurrentRegistrationPos &&
        s_nRegistrationCount == numberOf(handle) + 1)
        s_nCurrentRegistrationPos = -1;
}

void CursorManager::removeRegistration(int64_t handle)
{
    if (numberOf(handle) < 0 || s_nCurrentRegistrationPos != -1 || s_nRegistrationCount != numberOf(handle) + 1)
        return;
    const std::size_t position = std::size_t(positionOf(handle));
    for (std::size_t i = position; i < s_collCursors.size(); ++i)
        objc::NSObject::release(static_cast<id>(s_collCursors[i]));
    if (position < s_collCursors.size())
        s_collCursors.resize(position);
    --s_nRegistrationCount;
}

void CursorManager::init()
{
    if (s_bInit)
        return;
    s_bInit = true;
    s_hStdRegistration = beginRegistration();
    registerDefaultCursors();
    endRegistration(s_hStdRegistration);
}

void CursorManager::deInit()
{
    if (!s_bInit)
        return;
    destroyDefaultCursors();
    removeRegistration(s_hStdRegistration);
    s_hStdRegistration = -1;
    s_bInit = false;
}

void CursorManager::registerDefaultCursors()
{
    id arrow = sharedCursor("arrowCursor");
    id crosshair = sharedCursor("crosshairCursor");
    s_hStdCursors[0] = arrow;
    s_hStdCursors[1] = crosshair;
    s_hStdCursors[2] = sharedCursor("openHandCursor");
    s_hStdCursors[3] = sharedCursor("IBeamCursor");
    s_hStdCursors[4] = sharedCursor("operationNotAllowedCursor");
    s_hStdCursors[5] = crosshair;
    s_hStdCursors[6] = crosshair;
    s_hStdCursors[7] = sharedCursor("resizeUpDownCursor");
    s_hStdCursors[8] = crosshair;
    s_hStdCursors[9] = sharedCursor("resizeLeftRightCursor");
    s_hStdCursors[10] = sharedCursor("resizeUpCursor");
    s_hStdCursors[11] = arrow;
    s_hStdCursors[kInvisibleCursor] = makeInvisibleCursor();
    s_hStdCursors[13] = sharedCursor("pointingHandCursor");
    s_hStdCursors[14] = sharedCursor("closedHandCursor");
    s_hStdCursors[15] = sharedCursor("dragCopyCursor");
    s_hStdCursors[16] = sharedCursor("dragLinkCursor");
}

void CursorManager::destroyDefaultCursors()
{
    void* invisible = s_hStdCursors[kInvisibleCursor];
    if (invisible == nullptr)
        return;
    s_hStdCursors[kInvisibleCursor] = nullptr;
    for (Window* window : Application::getWindows()) {
        DETAIL::WindowImpl* impl = window != nullptr ? window->getImpl() : nullptr;
        auto* platformImpl = dynamic_cast<COCOA::WindowImplBase*>(impl);
        if (platformImpl != nullptr && platformImpl->getCurrentCursor() == invisible)
            platformImpl->resetCursor();
    }
    objc::NSObject::release(static_cast<id>(invisible));
}

void CursorManager::setSystemCursor(void* cursor)
{
    id chosen = cursor != nullptr ? static_cast<id>(cursor) : sharedCursor("arrowCursor");
    objc::send<void>(chosen, "set");
}

void CursorManager::resetSystemCursor()
{
    setSystemCursor(nullptr);
}

void CursorManager::setCursorPos(BAS::Point const& position)
{
    CGWarpMouseCursorPosition(CGPointMake(CGFloat(float(position.x)), CGFloat(float(position.y))));
}

} // namespace FEN
} // namespace CV
