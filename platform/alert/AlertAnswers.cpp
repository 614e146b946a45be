#include "platform/alert/AlertAnswers.h"

#include <deque>
#include <mutex>

namespace platform {

namespace {

std::mutex s_mutex;

std::deque<std::string>& waiting()
{
    static std::deque<std::string> s_answers;
    return s_answers;
}

} // namespace

void AlertAnswers::add(std::string label)
{
    std::lock_guard<std::mutex> lock(s_mutex);
    waiting().push_back(std::move(label));
}

std::optional<std::string> AlertAnswers::takeNext()
{
    std::lock_guard<std::mutex> lock(s_mutex);
    if (waiting().empty())
        return std::nullopt;
    std::string label = std::move(waiting().front());
    waiting().pop_front();
    return label;
}

void AlertAnswers::clear()
{
    std::lock_guard<std::mutex> lock(s_mutex);
    waiting().clear();
}

} // namespace platform
