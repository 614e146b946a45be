#include "platform/objc/StandInClass.h"

#include "platform/objc/ObjectRuntime.h"

#include <cstdio>
#include <cstdlib>

namespace platform::objc {

namespace {

[[noreturn]] void fail(const char* what, const std::string& name)
{
    std::fprintf(stderr, "cannot %s the class %s\n", what, name.c_str());
    std::abort();
}

Class superclassNamed(const char* superclassName, const char* name)
{
    if (superclassName == nullptr)
        return Nil;
    Class superclass = ObjectRuntime::lookUpClass(superclassName);
    if (superclass == Nil)
        fail("find the superclass of", name);
    return superclass;
}

} // namespace

StandInClass::StandInClass(const char* name, const char* superclassName)
    : StandInClass(name, superclassNamed(superclassName, name))
{
}

StandInClass::StandInClass(const char* name, Class superclass)
    : m_name(name)
{
    if (Class existing = objc_getClass(name)) {
        m_class = existing;
        m_existed = true;
        return;
    }
    m_class = objc_allocateClassPair(superclass, name, 0);
    if (m_class == Nil)
        fail("create", m_name);
}

StandInClass::~StandInClass()
{
    if (!m_existed && !m_registered)
        objc_disposeClassPair(m_class);
}

StandInClass& StandInClass::addIvar(const char* name, std::size_t size, std::size_t alignment, const std::string& types)
{
    if (m_existed)
        return *this;
    unsigned log2Alignment = 0;
    while ((std::size_t(1) << log2Alignment) < alignment)
        ++log2Alignment;
    if (!class_addIvar(m_class, name, size, static_cast<uint8_t>(log2Alignment), types.c_str()))
        fail("add an instance variable to", m_name);
    return *this;
}

StandInClass& StandInClass::addMethod(bool onClass, const char* selectorName, IMP implementation, const char* types)
{
    if (m_existed)
        return *this;
    Class target = onClass ? object_getClass(reinterpret_cast<id>(m_class)) : m_class;
    // class_addMethod refuses a selector the class defines itself; the last
    // definition wins then, as a second definition in source would.
    SEL selector = sel_registerName(selectorName);
    if (!class_addMethod(target, selector, implementation, types))
        class_replaceMethod(target, selector, implementation, types);
    return *this;
}

Class StandInClass::registerClass()
{
    if (!m_existed && !m_registered) {
        objc_registerClassPair(m_class);
        m_registered = true;
    }
    return m_class;
}

} // namespace platform::objc
