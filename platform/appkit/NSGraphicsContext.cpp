#include "platform/appkit/NSGraphicsContext.h"

#include "platform/appkit/AppKitSupport.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"

#include <vector>

namespace platform::appkit {

namespace {

const char* const kContext = "_cgContext";
const char* const kFlipped = "_flipped";

std::vector<id>& stack()
{
    static std::vector<id> s_stack;
    return s_stack;
}

id makeContext(CGContextRef cg, bool flipped)
{
    id context = objc::NSObject::allocInit(NSGraphicsContextClass());
    objc::ivar<CGContextRef>(context, kContext) = CGContextRetain(cg);
    objc::ivar<BOOL>(context, kFlipped) = flipped ? YES : NO;
    return context;
}

void deallocContext(id self, SEL sel)
{
    CGContextRelease(objc::ivar<CGContextRef>(self, kContext));
    objc::sendSuper<void>(self, NSGraphicsContextClass(), sel);
}

CGContextRef cgContext(id self, SEL)
{
    return objc::ivar<CGContextRef>(self, kContext);
}
BOOL isFlipped(id self, SEL)
{
    return objc::ivar<BOOL>(self, kFlipped);
}

id currentContext(id, SEL)
{
    return stack().empty() ? nil : stack().back();
}

void setCurrentContext(id, SEL, id context)
{
    if (!stack().empty()) {
        objc::NSObject::release(stack().back());
        stack().back() = objc::NSObject::retain(context);
    } else if (context) {
        stack().push_back(objc::NSObject::retain(context));
    }
}

void saveGraphicsState(id, SEL)
{
    if (!stack().empty())
        CGContextSaveGState(cgContext(stack().back(), nullptr));
}

void restoreGraphicsState(id, SEL)
{
    if (!stack().empty())
        CGContextRestoreGState(cgContext(stack().back(), nullptr));
}

id withCGContext(id, SEL, CGContextRef cg, BOOL flipped)
{
    return objc::NSObject::autorelease(makeContext(cg, flipped));
}

Class registerClass()
{
    return objc::StandInClass("NSGraphicsContext", objc::NSObject::rootClass())
        .ivar<CGContextRef>(kContext)
        .ivar<BOOL>(kFlipped)
        .method("dealloc", &deallocContext)
        .method("CGContext", &cgContext)
        .method("graphicsPort", &cgContext)
        .method("isFlipped", &isFlipped)
        .classMethod("currentContext", &currentContext)
        .classMethod("setCurrentContext:", &setCurrentContext)
        .classMethod("saveGraphicsState", &saveGraphicsState)
        .classMethod("restoreGraphicsState", &restoreGraphicsState)
        .classMethod("graphicsContextWithCGContext:flipped:", &withCGContext)
        .registerClass();
}

} // namespace

Class NSGraphicsContextClass()
{
    static Class s_class = registerClass();
    return s_class;
}

void pushGraphicsContext(CGContextRef cg, bool flipped)
{
    stack().push_back(makeContext(cg, flipped));
}

void popGraphicsContext()
{
    if (stack().empty())
        return;
    objc::NSObject::release(stack().back());
    stack().pop_back();
}

} // namespace platform::appkit
