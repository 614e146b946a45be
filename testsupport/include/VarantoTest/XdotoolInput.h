#pragma once
// Input as a user gives it, through xdotool (XTEST) on the test's X server:
// the words of one xdotool run, made of steps, each step one of xdotool's
// commands. Points are screen pixels, or pixels of a window with
// moveInWindow.
//
//   server.run(xdotool::command({xdotool::moveTo(150, 150), xdotool::click(1, 2), xdotool::keys("a")}));
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

namespace CV {
namespace test {
namespace xdotool {

using Words = std::vector<std::string>;

// "xdotool" and the steps in order.
inline Words command(std::initializer_list<Words> steps)
{
    Words words{"xdotool"};
    for (const Words& step : steps)
        words.insert(words.end(), step.begin(), step.end());
    return words;
}

// The pointer to a point of the screen, waiting until it is there.
inline Words moveTo(int x, int y)
{
    return {"mousemove", "--sync", std::to_string(x), std::to_string(y)};
}

// The pointer to a point of a window.
inline Words moveInWindow(unsigned long window, int x, int y)
{
    return {"mousemove", "--window", std::to_string(window), std::to_string(x), std::to_string(y)};
}

// Clicks of a button (1 left, 2 middle, 3 right, 4 to 7 the wheel), a
// repeat delayMilliseconds apart.
inline Words click(int button = 1, int repeat = 1, int delayMilliseconds = 30)
{
    if (repeat == 1)
        return {"click", std::to_string(button)};
    return {"click",
            "--repeat",
            std::to_string(repeat),
            "--delay",
            std::to_string(delayMilliseconds),
            std::to_string(button)};
}

// Keys pressed and released in turn, named as xdotool names them and
// separated by spaces ("ctrl+q", "shift+Tab Return").
inline Words keys(const std::string& names)
{
    Words words{"key"};
    std::istringstream split(names);
    for (std::string name; split >> name;)
        words.push_back(name);
    return words;
}

// The keyboard focus to a window, waiting until it has it.
inline Words focus(unsigned long window)
{
    return {"windowfocus", "--sync", std::to_string(window)};
}

} // namespace xdotool
} // namespace test
} // namespace CV
