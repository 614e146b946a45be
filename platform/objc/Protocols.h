#pragma once
// Protocols of the object run time that the layer declares at run time.
// GCC's libobjc knows only the protocols compiled into the program and has
// no call that makes one, so the layer keeps records of its own: a
// declared protocol has a name, the instance selectors it requires and the
// classes that adopt it. NSObject's conformsToProtocol: (instance and
// class) answers from these records, and from the run time for compiled
// protocols.
//
//   Protocol* client = Protocols::declare("NSTextInputClient", {"insertText:replacementRange:", ...});
//   Protocols::adopt(cls, Protocols::lookUp("NSTextInputClient"));
//   send<BOOL>(object, "conformsToProtocol:", client);   // YES
//
// A declared record is no run-time protocol object: pass it to these calls
// and to conformsToProtocol:, never to libobjc's protocol_ calls. Records
// live until the process ends. Safe from any thread.
#include <objc/runtime.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace platform::objc {

class Protocols {
public:
    // The record of name, declared on the first call; later calls return
    // the same record and keep its first selectors. Null for a null or
    // empty name.
    static Protocol* declare(const char* name, std::initializer_list<const char*> requiredSelectors);
    // A protocol compiled into the program, else a declared record; null
    // when there is neither.
    static Protocol* lookUp(const char* name);
    // cls adopts protocol (a compiled one through the run time); false for
    // a null class or protocol, or when the run time refuses.
    static bool adopt(Class cls, Protocol* protocol);
    // cls or one of its superclasses adopts protocol.
    static bool conforms(Class cls, Protocol* protocol);

    // For declared records: whether protocol is one, its name and its
    // required instance selectors (empty for anything else).
    static bool isDeclared(Protocol* protocol);
    static std::string nameOf(Protocol* protocol);
    static std::vector<std::string> requiredSelectors(Protocol* protocol);

    Protocols() = delete;
};

} // namespace platform::objc
