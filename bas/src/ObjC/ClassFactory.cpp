#include "BAS/ClassFactory.h"

#include "platform/objc/ObjectRuntime.h"
#include "platform/objc/Protocols.h"

#include <cstdio>
#include <string>

namespace CV {
namespace BAS {
namespace OBJC {

namespace {

bool isAscii(const char* text)
{
    for (const char* c = text; *c != '\0'; ++c)
        if (static_cast<unsigned char>(*c) >= 0x80)
            return false;
    return true;
}

std::string numberedName(const char* name, long counter)
{
    char digits[24];
    std::snprintf(digits, sizeof digits, "%04ld", counter);
    return std::string(name) + digits;
}

} // namespace

ClassFactory::ClassFactory(objc_class*& target)
    : m_target(&target)
{
}

ClassFactory::~ClassFactory()
{
    if (m_created == nullptr || *m_target != m_created)
        return;
    objc_disposeClassPair(m_created);
    *m_target = nullptr;
}

bool ClassFactory::generateUniqueClass(const char* name, const char* superclassName)
{
    if (name == nullptr || name[0] == '\0' || !isAscii(name))
        return false;
    objc_class* superclass =
        superclassName != nullptr ? platform::objc::ObjectRuntime::lookUpClass(superclassName) : nullptr;

    std::string candidate = name;
    for (long counter = 1; objc_lookUpClass(candidate.c_str()) != nullptr; ++counter)
        candidate = numberedName(name, counter);

    m_created = objc_allocateClassPair(superclass, candidate.c_str(), 0);
    *m_target = m_created;
    return m_created != nullptr;
}

bool ClassFactory::addProtocol(const char* protocolName)
{
    if (*m_target == nullptr || protocolName == nullptr)
        return false;
    // Compiled protocols and those the platform layer declares at run time.
    return platform::objc::Protocols::adopt(*m_target, platform::objc::Protocols::lookUp(protocolName));
}

bool ClassFactory::addMemberVar(const char* name, std::size_t size, uint8_t alignment, const char* typeEncoding)
{
    if (*m_target == nullptr)
        return false;
    return class_addIvar(*m_target, name, size, alignment, typeEncoding) != NO;
}

bool ClassFactory::addMethod(SEL selector, IMP implementation, const char* typeEncoding)
{
    if (*m_target == nullptr)
        return false;
    return class_addMethod(*m_target, selector, implementation, typeEncoding) != NO;
}

void ClassFactory::doRegister()
{
    if (*m_target != nullptr)
        objc_registerClassPair(*m_target);
}

const char* ClassFactory::getClassName() const
{
    return *m_target != nullptr ? class_getName(*m_target) : nullptr;
}

} // namespace OBJC
} // namespace BAS
} // namespace CV
