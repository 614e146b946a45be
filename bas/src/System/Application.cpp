#include "BAS/Application.h"

#include <cstring>

namespace CV {
namespace BAS {

char Application::s_pAppName[Application::kNameCapacity] = "Calvarine";
FileTypeMacMagic Application::s_appSignature = kNoFileTypeMacMagic;

void Application::setName(const char* name)
{
    if (name == nullptr)
        return;
    const std::size_t length = ::strnlen(name, kNameCapacity - 1);
    std::memcpy(s_pAppName, name, length);
    s_pAppName[length] = '\0';
}

void Application::setSignature(FileTypeMacMagic signature)
{
    s_appSignature = signature;
}

} // namespace BAS
} // namespace CV
