#include "FEN/AppModule.h"

#include "BAS/DSOHandle.h"
#include "BAS/Lib.h"
#include "BAS/Registry.h"
#include "BAS/StringCF.h"
#include "BAS/TLS.h"
#include "FEN/IApplication.h"
#include "FEN/ResourceFacade.h"

#include <vector>

namespace CV {
namespace FEN {

AppModule* AppModule::s_currentModule = nullptr;

namespace {

const char* const kUnknownVersion = "?.??.???";

// The bundle's information value for key when it is text.
bool bundleText(CFBundleRef bundle, const char* key, bool& present, std::string& text)
{
    CFStringRef name = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
    CFTypeRef value = CFBundleGetValueForInfoDictionaryKey(bundle, name);
    CFRelease(name);
    present = value != nullptr;
    if (value == nullptr || CFGetTypeID(value) != CFStringGetTypeID())
        return false;
    text = BAS::StringCF(static_cast<CFStringRef>(value)).str();
    return true;
}

} // namespace

AppModule::AppModule()
{
    if (s_currentModule == nullptr)
        s_currentModule = this;
}

AppModule::~AppModule()
{
    destroyApplication();
}

bool AppModule::initRegistry() const
{
    return false;
}

std::string AppModule::getLocale(bool fromRegistry) const
{
    return fromRegistry ? getLocaleInRegistry() : std::string();
}

AppModule* AppModule::getCurrentModule()
{
    return s_currentModule;
}

bool AppModule::create()
{
    const bool registry = initRegistry();
    if (BAS::getCurrentDSOHandle() != nullptr) {
        const std::string locale = getLocale(registry);
        BAS::Lib::initLocale(locale.c_str());
    } else {
        BAS::Lib::initLocale(nullptr);
    }
    BAS::TLS::init();
    m_bInitResult = init();
    return m_bInitResult;
}

bool AppModule::attachApplication(IApplication* application)
{
    if (m_application != nullptr)
        return false;
    m_application = application;
    m_bApplicationDeInitDone = false;
    application->setModuleOwner(this);
    if (application->init())
        return true;
    application->deInit(false);
    // Stays attached: destroyApplication deletes it without a second deInit.
    m_bApplicationDeInitDone = true;
    return false;
}

void AppModule::destroyApplication()
{
    if (m_application == nullptr)
        return;
    IApplication* application = m_application;
    if (!m_bApplicationDeInitDone)
        application->deInit(m_bInitResult);
    application->setModuleOwner(nullptr);
    m_application = nullptr;
    m_bApplicationDeInitDone = false;
    delete application;
}

std::string AppModule::getLocaleInRegistry()
{
    std::vector<std::string> languages;
    if (!BAS::Registry::get("AppleLanguages", languages, BAS::Registry::eGetMode(0)) || languages.empty())
        return std::string();
    return languages.front();
}

bool AppModule::getVersionInfo(std::string& version)
{
    CFBundleRef bundle = BAS::getCurrentDSOHandle();
    if (bundle == nullptr) {
        version += kUnknownVersion;
        return false;
    }
    bool present = false;
    std::string text;
    bool isText = bundleText(bundle, "CFBundleShortVersionString", present, text);
    if (!present)
        isText = bundleText(bundle, "CFBundleVersion", present, text);
    if (!present || !isText) {
        version += kUnknownVersion;
        return false;
    }
    version = text.substr(0, text.find(','));
    return true;
}

namespace DETAIL {

bool AppModuleStartup::init()
{
    AppModule* module = AppModule::getCurrentModule();
    return module != nullptr && module->create();
}

void AppModuleStartup::deInit()
{
    AppModule* module = AppModule::getCurrentModule();
    if (module == nullptr)
        return;
    module->deInit(module->getInitResult());
    ResourceFacade::clearResourceMap();
}

} // namespace DETAIL
} // namespace FEN
} // namespace CV
