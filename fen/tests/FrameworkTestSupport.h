#pragma once
// The test program's one module (the first module constructed stays the
// current one for the life of the process; it is made before any test
// runs) and helpers to attach an application to it for the length of a
// test. Any test program of the framework or above may include it.
#include "FEN/AppModule.h"
#include "FEN/Application.h"

#include <functional>
#include <memory>

namespace CV {
namespace FEN {
namespace TEST {

class TestModule : public AppModule {
public:
    static TestModule& instance()
    {
        static TestModule s_module;
        return s_module;
    }

    bool init() override { return onInit ? onInit() : true; }
    void deInit(bool initResult) override
    {
        if (onDeInit)
            onDeInit(initResult);
    }

    std::function<bool()> onInit;
    std::function<void(bool)> onDeInit;
};

// Made before any test runs, so it is the current module.
inline bool const s_testModuleMade = (TestModule::instance(), true);

// Attaches application to the test module; destroys it at scope end.
template <typename App> class AttachedApplication {
public:
    template <typename... Args> explicit AttachedApplication(Args&&... args)
    {
        auto* application = new App(std::forward<Args>(args)...);
        m_application = application;
        TestModule::instance().attachApplication(application);
    }
    ~AttachedApplication() { TestModule::instance().destroyApplication(); }
    App* operator->() const { return m_application; }
    App& operator*() const { return *m_application; }
    App* get() const { return m_application; }

private:
    App* m_application;
};

} // namespace TEST
} // namespace FEN
} // namespace CV
