// Pango starts fontconfig on a thread of its own ("[pango] FcInit") while
// the toolkit reads fontconfig's tables on the main thread; fontconfig is
// not built for the race checker, which cannot see its locks. Built into
// every program linked with the desktop backend (platform/CMakeLists.txt
// forces this file in), so it applies without any environment.
extern "C" const char* __tsan_default_suppressions()
{
    return "race:libfontconfig.so\n"
           "called_from_lib:libfontconfig.so\n";
}
