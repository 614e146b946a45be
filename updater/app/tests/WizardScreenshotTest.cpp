// Every page of the wizard and the about box painted with the shipped skin
// at scale 1 and 2, as a window would show them: written as PNG files into
// the build tree (screenshots/) for a look by eye, and checked for widgets
// cut off by their parents and texts wider or taller than their labels.
#include "ScriptedLogic.h"
#include "WizardFixture.h"

#include "TOV/BackgroundDrawingCanvas.h"

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace CV::test {
namespace {

// Writes the picture (B, G, R, A words, straight alpha) as an RGBA PNG.
bool writePNG(FEN::Picture const& picture, std::string const& path)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    bool written = false;
    std::vector<png_byte> row(size_t(picture.getWidth()) * 4);
    if (!setjmp(png_jmpbuf(png))) {
        png_init_io(png, file);
        png_set_IHDR(png, info, png_uint_32(picture.getWidth()), png_uint_32(picture.getHeight()), 8,
                     PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < picture.getHeight(); ++y) {
            uint32_t const* pixels = picture.getPixels() + size_t(y) * size_t(picture.getWidth());
            for (int x = 0; x < picture.getWidth(); ++x) {
                uint32_t const p = pixels[x];
                row[size_t(x) * 4 + 0] = png_byte(p >> 16);
                row[size_t(x) * 4 + 1] = png_byte(p >> 8);
                row[size_t(x) * 4 + 2] = png_byte(p);
                row[size_t(x) * 4 + 3] = png_byte(p >> 24);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
        written = true;
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && written;
}

class WizardScreenshots : public WizardFixture {
protected:
    // Paints the whole window as its canvas holds it.
    FEN::Picture const& paint(float scale)
    {
        canvas = std::make_unique<TOV::BackgroundDrawingCanvas>();
        canvas->setBackingScaleFactor(scale);
        canvas->onSize(kWindowSize);
        pane->paint(*canvas, BAS::Region(), TOV::Pane::ePaintAll);
        return canvas->getPicture();
    }

    // Shown widgets that stick out of their parent's rectangle, and texts
    // that need more room than their widget has.
    void findLayoutFaults(TOV::Widget const& parent, std::vector<std::string>& faults) const
    {
        BAS::Rect const outer = parent.getRect();
        for (auto const& child : parent.getChildren()) {
            if (!child->isActive())
                continue;
            BAS::Rect const r = child->getRect();
            std::string const name = child->getId() + "(" + child->getStyle() + ")";
            if (r.left < outer.left || r.top < outer.top || r.right > outer.right || r.bottom > outer.bottom)
                faults.push_back(name + " sticks out of " + parent.getId());
            if (cutsItsText(*child))
                faults.push_back(name + " cuts its text \"" + textOf(child.get()) + "\"");
            findLayoutFaults(*child, faults);
        }
    }

    // A label or button whose text needs more room than it has.
    static bool cutsItsText(TOV::Widget const& widget)
    {
        std::string const text = textOf(&widget);
        BAS::Point const size = widget.getSize();
        if (text.empty())
            return false;
        if (auto const* label = dynamic_cast<TOV::Label const*>(&widget))
            return label->getWidthForText(text) > size.x || label->getHeightForText(text) > size.y;
        if (auto const* button = dynamic_cast<TOV::Button const*>(&widget))
            return button->getWidthForText(text) > size.x || button->getHeightForText(text) > size.y;
        if (auto const* lines = dynamic_cast<TOV::MultilineLabel const*>(&widget)) {
            if (lines->getLineCount() < 2)
                return false;
            int const pitch = lines->toPositionInPixel({0, 1}).y - lines->toPositionInPixel({0, 0}).y;
            TOV::Margin const& margin = lines->getMargin();
            return int(lines->getLineCount()) * pitch > size.y - margin.top - margin.bottom;
        }
        return false;
    }

    ScriptedLogic logic;
    std::unique_ptr<TOV::BackgroundDrawingCanvas> canvas;
};

struct Shot {
    const char* name;
    std::string title;
    std::function<void(ScriptedLogic&)> script;
    std::function<void(UpdateWizardMainWidget&, ScriptedLogic&, std::function<void()> tick)> steps;
};

TEST_F(WizardScreenshots, EveryPageAtBothScalesFitsTheWindow)
{
    auto none = [](UpdateWizardMainWidget&, ScriptedLogic&, std::function<void()>) {};
    auto updating = [](UpdateWizardMainWidget& wizard, ScriptedLogic&, std::function<void()> const& tick) {
        wizard.onAction();
        for (int i = 0; i < 6; ++i)
            tick();
    };
    auto finished = [](int result) {
        return [result](UpdateWizardMainWidget& wizard, ScriptedLogic& logic, std::function<void()> const& tick) {
            wizard.onAction();
            logic.normalMode = {true};
            logic.installed = logic.newest;
            logic.finish(result);
            tick();
        };
    };
    auto found = [](bool updateNeeded) {
        return [updateNeeded](ScriptedLogic& logic) {
            logic.normalMode = {true};
            logic.reset = {true};
            logic.updateNeeded = updateNeeded;
            if (!updateNeeded)
                logic.installed = logic.newest;
        };
    };
    Shot const shots[] = {
        {"1-NoDeviceConnected", kTitle, [](ScriptedLogic&) {}, none},
        {"2-NoUpdateAvailable", kTitle, found(false), none},
        {"3-UpdateAvailable", kTitle, found(true), none},
        {"4-Updating", kTitle, found(true), updating},
        {"5-NoUpdateMode", kTitle, [](ScriptedLogic& l) { l.normalMode = {true}; },
         [](UpdateWizardMainWidget& wizard, ScriptedLogic&, std::function<void()>) { wizard.onAction(); }},
        {"6-UpdateSuccessful", kTitle, found(true), finished(1)},
        {"7-UpdateFailed", kTitle, found(true), finished(-2)},
        {"8-About", kTitle, [](ScriptedLogic&) {},
         [](UpdateWizardMainWidget& wizard, ScriptedLogic&, std::function<void()>) { wizard.showAbout(); }},
        {"9-AboutLongTitle", "VARANTO Q-SERIES MK2 KEYBOARD FIRMWARE UPDATER", [](ScriptedLogic&) {},
         [](UpdateWizardMainWidget& wizard, ScriptedLogic&, std::function<void()>) { wizard.showAbout(); }},
    };
    std::string const folder = VARANTO_SCREENSHOT_DIR;
    std::filesystem::create_directories(folder);
    for (float const scale : {1.0f, 2.0f}) {
        for (Shot const& shot : shots) {
            std::string const name = std::string(shot.name) + (scale == 1.0f ? "" : "@2x");
            SCOPED_TRACE(name);
            logic = ScriptedLogic();
            shot.script(logic);
            build(shot.title, scale);
            logic.runIn(*wizard);
            update();
            shot.steps(*wizard, logic, [this] { tick(); });
            update();
            update();

            std::vector<std::string> faults;
            findLayoutFaults(*wizard, faults);
            EXPECT_EQ(faults, std::vector<std::string>());

            FEN::Picture const& picture = paint(scale);
            EXPECT_EQ(picture.getWidth(), int(kWindowSize.x * scale));
            EXPECT_EQ(picture.getHeight(), int(kWindowSize.y * scale));
            EXPECT_TRUE(writePNG(picture, folder + "/" + name + ".png"));
        }
    }
    EXPECT_EQ(log, Lines());
}

} // namespace
} // namespace CV::test
