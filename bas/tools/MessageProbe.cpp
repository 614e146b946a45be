// Chooses the catalogue language given as the first argument (none: the
// bundle's preferred one) and answers one message box of each type with
// each of its buttons as default, headless, so the labels show on
// standard error. The message-box tests run it from bundle layouts.
#include "BAS/GetTextLoader.h"
#include "BAS/Message.h"
#include "platform/headless/HeadlessBackend.h"

#include <cstdio>

int main(int argc, char** argv)
{
    using CV::BAS::Message;
    platform::headless::HeadlessBackend::select();
    CV::BAS::GetTextLoader::initLocale(argc > 1 ? argv[1] : nullptr);
    std::printf("%s\n", CV::BAS::GetTextLoader::s_Locale);
    std::fflush(stdout);
    for (int type = Message::eTypeOK; type <= Message::eTypeAbortRetryIgnore; ++type)
        for (int button = Message::eButtonOK; button < Message::eButtonNone; ++button)
            Message::show("probe", Message::eType(type), Message::eButton(button), Message::eIconNone, "Probe");
    return 0;
}
