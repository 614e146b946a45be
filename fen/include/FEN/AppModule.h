#pragma once
// The program's module: one static object of a class derived from
// AppModule, which exists before main runs, owns the application object
// and is the only code that starts and stops the libraries. The first
// module constructed becomes the current one.
#include "FEN/Forward.h"

#include <string>

namespace CV {
namespace FEN {

class AppModule {
public:
    AppModule();
    // Destroys an application that is still attached.
    virtual ~AppModule();
    AppModule(AppModule const&) = delete;
    AppModule& operator=(AppModule const&) = delete;

    // The derived module starts the libraries, creates its application
    // object and attaches it.
    virtual bool init() = 0;
    // The derived module destroys its application and stops the libraries.
    virtual void deInit(bool initResult) = 0;
    virtual bool initRegistry() const;
    virtual std::string getLocale(bool fromRegistry) const;

    static AppModule* getCurrentModule();

    // The start-up: locale, thread-local storage, then init; the result of
    // init, which is also kept for deInit.
    bool create();
    // false when an application is already attached or the application's
    // init fails (its deInit(false) has then run, once).
    bool attachApplication(IApplication* application);
    // deInit, detach and delete an attached application.
    void destroyApplication();
    IApplication* getApplication() const { return m_application; }
    bool getInitResult() const { return m_bInitResult; }

    // The first entry of the registry's "AppleLanguages"; "" without one.
    static std::string getLocaleInRegistry();
    // The bundle's short version, cut at its first ','; "?.??.???" appended
    // and false when there is none.
    static bool getVersionInfo(std::string& version);

private:
    bool m_bInitResult = false;
    IApplication* m_application = nullptr;
    // The attached application's init failed and its deInit already ran.
    bool m_bApplicationDeInitDone = false;

    static AppModule* s_currentModule;
};

namespace DETAIL {

// How the platform launcher drives the current module.
class AppModuleStartup {
public:
    // The current module's create(); false without a module.
    static bool init();
    // The current module's deInit(init result), then the resource map
    // cleared; nothing without a module.
    static void deInit();

    AppModuleStartup() = delete;
};

} // namespace DETAIL
} // namespace FEN
} // namespace CV
