// The object run time keeps class and method tables in memory that the
// leak checker cannot see from its roots; the toolkit and its libraries keep
// process-long caches. The suppression is built into
// every program linked with the platform layer (platform/CMakeLists.txt
// forces this file in), so it applies also when tests are listed at build
// time, without any environment.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libobjc.so\n"
           "leak:libgtk-3.so\n"
           "leak:libgdk-3.so\n"
           "leak:libfontconfig.so\n"
           // GDK's update region of a window the window system destroyed
           "leak:cairo_region_copy\n";
}
