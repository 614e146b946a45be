#pragma once
// Widgets in a pane governed by a style sheet made from a text, with the
// library's resource manager in place.
#include <memory>
#include <string>

#include "TOV/Lib.h"
#include "TOV/ManagerContainer.h"
#include "TOV/StyleProperties.h"
#include "TOV/StyleSheet.h"
#include "WidgetFixture.h"

namespace CV::TOV::TEST {

class StyledWidgetTest : public WidgetTest {
protected:
    void SetUp() override
    {
        WidgetTest::SetUp();
        Lib::s_managerContainer = std::make_unique<ManagerContainer>();
    }
    void TearDown() override
    {
        root.reset();
        pane.reset();
        sheet.reset();
        Lib::s_managerContainer.reset();
        WidgetTest::TearDown();
    }

    // A pane whose own sheet is the text (the manager's default sheet when
    // the text is null), with a root of class "Root".
    void useSheet(const char* text)
    {
        root = makeRootInPane({200, 100});
        if (text) {
            sheet = std::make_unique<StyleSheet>(*Lib::s_managerContainer);
            sheet->createDirect(text);
            pane->setStyleSheet(sheet.get());
            root->setStyleSheetChanged();
            update();
        }
    }

    std::shared_ptr<TestWidget> addWidget(const char* cls = "Test", const char* id = "w")
    {
        auto w = makeWidget(cls);
        root->insertChildWidget(w, id);
        update();
        return w;
    }

    std::unique_ptr<StyleSheet> sheet;
    std::shared_ptr<TestWidget> root;
};

} // namespace CV::TOV::TEST
