#include "platform/alert/Alert.h"

#include "platform/alert/StandardErrorAlertPresenter.h"
#include "platform/backend/Backend.h"
#include "platform/runloop/MainLoop.h"

#include <algorithm>

namespace platform {

void Alert::setDefaultButton(int tag)
{
    m_hasDefault = true;
    m_defaultTag = tag;
}

void Alert::setDismissAnswer(int tag)
{
    m_hasDismiss = true;
    m_dismissTag = tag;
}

int Alert::defaultTag() const
{
    if (m_buttons.empty())
        return -1;
    const bool known =
        std::any_of(m_buttons.begin(), m_buttons.end(), [&](const Button& b) { return b.tag == m_defaultTag; });
    return m_hasDefault && known ? m_defaultTag : m_buttons.front().tag;
}

int Alert::dismissTag() const
{
    return m_hasDismiss ? m_dismissTag : defaultTag();
}

int Alert::runModal() const
{
    if (m_buttons.empty())
        return -1;
    if (!MainLoop::isMainThread())
        return StandardErrorAlertPresenter().present(*this);
    return Backend::current().createAlertPresenter()->present(*this);
}

} // namespace platform
