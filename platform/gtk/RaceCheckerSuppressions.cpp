// Pango starts fontconfig on a thread of its own ("[pango] FcInit") while
// the toolkit reads fontconfig's tables on the main thread; GLib, GObject
// and GIO hand memory and work between their own threads (the slice
// allocator's magazines, closures, GIO's worker pool that lists folders for
// file choosers and loads themes). None of these libraries is built for the
// race checker, which cannot see their locks. Built into every program
// linked with the desktop backend (platform/CMakeLists.txt forces this file
// in), so it applies without any environment.
extern "C" const char* __tsan_default_suppressions()
{
    return "race:libfontconfig.so\n"
           "called_from_lib:libfontconfig.so\n"
           "race:libglib-2.0.so\n"
           "race:libgio-2.0.so\n"
           "race:libgobject-2.0.so\n";
}
