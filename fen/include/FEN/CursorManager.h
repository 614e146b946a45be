#pragma once
// The standard cursors and cursor registrations.
namespace CV {
namespace FEN {

class CursorManager {
public:
    static constexpr int kStdCursorCount = 17;

    // Registers the standard cursors once (framework start-up).
    static void init();
    // Drops the standard cursors' registration (framework shut-down).
    static void deInit();
    // Makes the cursor the system cursor (null: the arrow).
    static void setSystemCursor(void* cursor);
    static void resetSystemCursor();

    static void* s_hStdCursors[kStdCursorCount];
    static bool s_bInit;

    CursorManager() = delete;
};

} // namespace FEN
} // namespace CV
