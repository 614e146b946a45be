#include "updater/app/wizard/SpinningProgressWheel.h"

#include "BAS/FormatHelper.h"

namespace CV {

void SpinningProgressWheel::onTimer()
{
    if (!m_bRunning)
        return;
    ++m_uTickCount;
    if (m_uTickCount % 2 != 0)
        return;
    m_uStep = (m_uStep + 1) % kSteps;
    setAttribute("step", BAS::DETAIL::BasicFormat<char, unsigned>("S%u", m_uStep));
}

void SpinningProgressWheel::start()
{
    setActive(true);
    m_bRunning = true;
    m_uTickCount = 0;
    m_uStep = 0;
}

void SpinningProgressWheel::stop()
{
    setActive(false);
    m_bRunning = false;
}

} // namespace CV
