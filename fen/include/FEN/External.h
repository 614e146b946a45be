#pragma once
// Hand-offs to other programs of the desktop.
namespace CV {
namespace FEN {
namespace External {

// Opens the URL with the desktop's default handler (xdg-open, started
// without a shell and not waited for). false for null, for text without a
// URL scheme (so nothing that looks like an option reaches the handler),
// and when the handler cannot be started.
bool openURL(const char* utf8Url);

} // namespace External
} // namespace FEN
} // namespace CV
