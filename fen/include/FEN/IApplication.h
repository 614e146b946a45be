#pragma once
// The application object as the module sees it.
#include "FEN/Forward.h"

#include <functional>

namespace CV {
namespace FEN {

class IApplication {
public:
    virtual ~IApplication() = default;
    virtual void setModuleOwner(AppModule* module) = 0;
    virtual int run() = 0;
    virtual bool init() = 0;
    virtual void deInit(bool initResult) = 0;
    virtual void postQuit() = 0;
    virtual void executeOnMainThread(std::function<void()> function) = 0;
    virtual void setMasterTimerTimeout(unsigned ms) = 0;
    virtual unsigned getMasterTimerTimeout() const = 0;
};

} // namespace FEN
} // namespace CV
