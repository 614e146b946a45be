#include "TOV/MouseActionTest.h"

namespace CV::TOV {

const BAS::Point MouseActionTest::sc_ptInvalid{-1, -1};

} // namespace CV::TOV
