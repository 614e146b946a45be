#include "platform/objc/Protocols.h"

#include <map>
#include <memory>
#include <mutex>
#include <set>

namespace platform::objc {

namespace {

struct Record {
    std::string name;
    std::vector<std::string> selectors;
    std::set<Class> adopters;
};

struct Registry {
    std::mutex lock;
    std::map<std::string, std::unique_ptr<Record>> byName;
    std::set<const Record*> records;
};

// Kept for the whole run: class factories may ask while static objects
// are destroyed at exit.
Registry& registry()
{
    static Registry* s_registry = new Registry;
    return *s_registry;
}

Record* recordOf(Registry& r, Protocol* protocol)
{
    auto* record = reinterpret_cast<Record*>(protocol);
    return r.records.count(record) != 0 ? record : nullptr;
}

Protocol* asProtocol(Record* record)
{
    return reinterpret_cast<Protocol*>(record);
}

} // namespace

Protocol* Protocols::declare(const char* name, std::initializer_list<const char*> requiredSelectors)
{
    if (name == nullptr || *name == '\0')
        return nullptr;
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    std::unique_ptr<Record>& slot = r.byName[name];
    if (!slot) {
        slot = std::make_unique<Record>();
        slot->name = name;
        for (const char* selector : requiredSelectors)
            slot->selectors.emplace_back(selector);
        r.records.insert(slot.get());
    }
    return asProtocol(slot.get());
}

Protocol* Protocols::lookUp(const char* name)
{
    if (name == nullptr || *name == '\0')
        return nullptr;
    if (Protocol* compiled = objc_getProtocol(name))
        return compiled;
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    auto it = r.byName.find(name);
    return it != r.byName.end() ? asProtocol(it->second.get()) : nullptr;
}

bool Protocols::adopt(Class cls, Protocol* protocol)
{
    if (cls == Nil || protocol == nullptr)
        return false;
    Registry& r = registry();
    {
        std::lock_guard<std::mutex> guard(r.lock);
        if (Record* record = recordOf(r, protocol)) {
            record->adopters.insert(cls);
            return true;
        }
    }
    return class_addProtocol(cls, protocol) != NO;
}

bool Protocols::conforms(Class cls, Protocol* protocol)
{
    if (cls == Nil || protocol == nullptr)
        return false;
    Registry& r = registry();
    std::unique_lock<std::mutex> guard(r.lock);
    if (Record* record = recordOf(r, protocol)) {
        for (Class c = cls; c != Nil; c = class_getSuperclass(c))
            if (record->adopters.count(c) != 0)
                return true;
        return false;
    }
    guard.unlock();
    for (Class c = cls; c != Nil; c = class_getSuperclass(c))
        if (class_conformsToProtocol(c, protocol))
            return true;
    return false;
}

bool Protocols::isDeclared(Protocol* protocol)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    return recordOf(r, protocol) != nullptr;
}

std::string Protocols::nameOf(Protocol* protocol)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    Record* record = recordOf(r, protocol);
    return record != nullptr ? record->name : std::string();
}

std::vector<std::string> Protocols::requiredSelectors(Protocol* protocol)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    Record* record = recordOf(r, protocol);
    return record != nullptr ? record->selectors : std::vector<std::string>();
}

} // namespace platform::objc
