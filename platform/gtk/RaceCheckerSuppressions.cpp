// The race checker cannot see the locks of libraries that are not built for
// it. Each entry passes over only what such a library does itself: the
// memory and lock calls made from its own code ("called_from_lib": malloc,
// free, memcpy, strlen and the like on its own data). A race in our code is
// still reported, also when its stack passes through one of these libraries
// (a callback of ours run by GLib's main loop or by a GObject signal).
//   fontconfig  pango starts it on a thread of its own ("[pango] FcInit")
//               while the toolkit reads its tables on the main thread.
//   GLib, GObject, GIO  the slice allocator's magazines, closures, string
//               building and GIO's worker pool (folder listings for the file
//               chooser, theme loading) hand memory between their own threads.
//   GTK         compares the file chooser's folder names, which GIO's worker
//               pool builds on its own threads.
//   GDK, GdkPixbuf  release GLib's locks, whose taking GLib did (and the
//               checker, told to pass over GLib's calls, did not see).
// Built into every program linked with the desktop backend
// (platform/CMakeLists.txt forces this file in), so it applies without any
// environment.
extern "C" const char* __tsan_default_suppressions()
{
    return "called_from_lib:libfontconfig.so\n"
           "called_from_lib:libglib-2.0.so\n"
           "called_from_lib:libgobject-2.0.so\n"
           "called_from_lib:libgio-2.0.so\n"
           "called_from_lib:libgtk-3.so\n"
           "mutex:libgdk-3.so\n"
           "mutex:libgdk_pixbuf-2.0.so\n";
}
