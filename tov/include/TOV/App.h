#pragma once
// The application object of a program built on the widget library.
#include "FEN/Application.h"

namespace CV::TOV {

class App : public FEN::Application { };

} // namespace CV::TOV
