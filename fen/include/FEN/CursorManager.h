#pragma once
// The mouse cursors: a table of 17 standard cursors selected by number,
// making a cursor the system cursor, and moving the pointer.
//
// Standard cursors: 0 and 11 arrow, 1, 5, 6 and 8 crosshair, 2 open hand,
// 3 I-beam, 4 operation not allowed, 7 resize up-down, 9 resize
// left-right, 10 resize up, 12 invisible, 13 pointing hand, 14 closed
// hand, 15 drag copy, 16 drag link.
#include "BAS/Point.h"

#include <cstdint>
#include <vector>

namespace CV {
namespace FEN {

class CursorManager {
public:
    static constexpr int kStdCursorCount = 17;
    static constexpr int kInvisibleCursor = 12;

    // Registers the standard cursors once (framework start-up).
    static void init();
    // Releases the standard cursors and drops their registration
    // (framework shut-down).
    static void deInit();
    static void registerDefaultCursors();
    // Releases the invisible cursor; its entry is cleared and windows
    // showing it go back to the arrow.
    static void destroyDefaultCursors();
    // Makes the cursor the system cursor (null: the arrow).
    static void setSystemCursor(void* cursor);
    static void resetSystemCursor();
    // Moves the pointer to a position in global display coordinates.
    static void setCursorPos(BAS::Point const& position);

    static void* s_hStdCursors[kStdCursorCount];
    static bool s_bInit;
    // Cursors owned by registrations, in the order they were made.
    static std::vector<void*> s_collCursors;
    static int32_t s_nCurrentRegistrationPos;
    static int32_t s_nRegistrationCount;
    // Start position (high half) and number (low half) of the standard
    // cursors' registration; -1 when none.
    static int64_t s_hStdRegistration;

    CursorManager() = delete;

private:
    static int64_t beginRegistration();
    static void endRegistration(int64_t handle);
    static void removeRegistration(int64_t handle);
};

} // namespace FEN
} // namespace CV
