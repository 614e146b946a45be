#pragma once
// The point that stands for no mouse position.
#include "BAS/Point.h"

namespace CV::TOV {

class MouseActionTest {
public:
    static const BAS::Point sc_ptInvalid;

    MouseActionTest() = delete;
};

} // namespace CV::TOV
