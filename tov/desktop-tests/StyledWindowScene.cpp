#include "StyledWindowScene.h"

#include "FEN/Application.h"
#include "FEN/COCOA/WindowImplBase.h"
#include "TOV/Lib.h"

namespace CV::TOV::TEST {

namespace {

char const* const kSheet = R"(
@define $ink #1D2733;
@define $paper #F4F5F7;

Bar.scene { background-color: $paper; background-border-color: $ink; margin: 6; spacing: 6; }
Label.caption { width: 246; height: 26; background-color: $ink; background-border-color: #C23030;
                foreground-color: #FFFFFF; margin-left: 8; }
Bar.row { width: 246; height: 44; background-color: #DDE6F0; background-border-color: #5F6B7A;
          margin: 8; spacing: 10; }
Button { width: 90; height: 28; background-color: #2D6CDF; background-border-color: #0B2F6B;
         foreground-color: #FFFFFF; horizontal-alignment: center; }
Label.status { width: 120; height: 28; foreground-color: #17804A; }
Label.note { width: 246; height: 30; background-color: #FFF4D6; background-border-color: #B7791F;
             foreground-color: #5F6B7A; margin-left: 4; }
)";

std::shared_ptr<Label> makeLabel(std::string const& text, char const* style)
{
    auto label = std::make_shared<Label>();
    label->style(text, style);
    return label;
}

} // namespace

StyledWindowScene::StyledWindowScene(int left, int top)
{
    m_bLibrary = Lib::init();
    if (!m_bLibrary)
        return;
    FEN::TEST::TestModule::instance().attachApplication(new FEN::Application);
    m_sheet = std::make_unique<StyleSheet>(*Lib::s_managerContainer);
    m_sheet->createDirect(kSheet);

    auto root = std::make_shared<Bar>();
    root->style(eAlignTopToBottom, "scene");
    root->insertChildWidget(makeLabel("Varanto MK2 \xE2\x80\x94 firmware", "caption"), "caption");
    auto row = std::make_shared<Bar>();
    row->style(eAlignLeftToRight, "row");
    auto button = std::make_shared<Button>();
    button->style("UPDATE", nullptr);
    row->insertChildWidget(button, "update");
    m_countdown = std::make_shared<CountdownLabel>();
    m_countdown->style("Waiting\xE2\x80\xA6", "status");
    m_countdown->textAfterTimer = "Up to date: 1.3.0";
    row->insertChildWidget(m_countdown, "status");
    root->insertChildWidget(row, "row");
    root->insertChildWidget(makeLabel("Keep the keyboard connected (gjpqy).", "note"), "note");

    m_window = std::make_unique<CountingWindow>();
    m_window->setStyleSheet(m_sheet.get());
    m_window->setRoot(root, "root");
    m_bCreated = m_window->create(windowData(kWidth, kHeight, left, top));
}

StyledWindowScene::~StyledWindowScene()
{
    if (m_window) {
        m_window->destroy();
        m_window.reset();
    }
    m_countdown.reset();
    m_sheet.reset();
    if (m_bLibrary) {
        FEN::TEST::TestModule::instance().destroyApplication();
        Lib::deInit();
    }
}

id StyledWindowScene::nativeWindow() const
{
    auto* impl = dynamic_cast<FEN::COCOA::WindowImplBase*>(m_window->getImpl());
    return impl ? impl->getNativeWindow() : nil;
}

void StyledWindowScene::startCountdown()
{
    m_countdown->setTimer(kCountdownTicks);
}

} // namespace CV::TOV::TEST
