#include "platform/backend/Backend.h"

#include "platform/headless/HeadlessBackend.h"

#include <mutex>

namespace platform {

namespace {

std::mutex s_mutex;

std::unique_ptr<Backend>& selected()
{
    static std::unique_ptr<Backend> s_backend;
    return s_backend;
}

} // namespace

Backend& Backend::current()
{
    std::lock_guard<std::mutex> lock(s_mutex);
    if (!selected())
        selected() = std::make_unique<headless::HeadlessBackend>();
    return *selected();
}

Backend& Backend::select(std::unique_ptr<Backend> backend)
{
    std::lock_guard<std::mutex> lock(s_mutex);
    selected() = std::move(backend);
    return *selected();
}

} // namespace platform
