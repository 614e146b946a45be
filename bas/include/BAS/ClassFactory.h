#pragma once
// Builds one class of the object run time at run time, under a name that
// no class known to the run time has yet.
//
// Calling order: construct on the caller's class variable;
// generateUniqueClass; addProtocol / addMemberVar / addMethod as needed
// (instance variables only before registration); doRegister; then make
// instances. The destructor disposes of the class, so it must not run while
// instances are alive (factories are static objects that live until exit).
#include <objc/runtime.h>

#include <cstddef>
#include <cstdint>

namespace CV {
namespace BAS {
namespace OBJC {

class ClassFactory {
public:
    explicit ClassFactory(objc_class*& target);
    // When the target still holds the class this factory made: disposes of
    // the class pair and clears the target.
    ~ClassFactory();
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    // Allocates a class pair under name, or, when a class of that name
    // exists, under name followed by a counter of at least four digits
    // ("Name", "Name0001", "Name0002", ...), derived from the class named
    // superclassName (a new root class when there is none). The class goes
    // into the target; true when a class pair was made. A null name or one
    // that is not ASCII makes none.
    bool generateUniqueClass(const char* name, const char* superclassName);

    // false when the run time knows no such protocol or refuses it.
    bool addProtocol(const char* protocolName);
    // alignment is the log2 of the byte alignment.
    bool addMemberVar(const char* name, std::size_t size, uint8_t alignment, const char* typeEncoding);
    bool addMethod(SEL selector, IMP implementation, const char* typeEncoding);
    void doRegister();

    // The class's name; null when there is no class.
    const char* getClassName() const;

private:
    objc_class** m_target;
    objc_class* m_created = nullptr;
};

} // namespace OBJC
} // namespace BAS
} // namespace CV
