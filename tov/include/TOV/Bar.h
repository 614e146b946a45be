#pragma once
// A styled panel that stacks its children along one axis with a fixed gap.
// It can give one flexible child the length that the others leave, and can
// make its own cross size (breadth) follow its largest child. Settings of
// the style sheet that contradict the automatic sizing are reported to the
// style log.
#include <cstdint>
#include <functional>

#include "TOV/PanelDrawer.h"
#include "TOV/WidgetAlignment.h"
#include "TOV/WidgetTemplate.h"

namespace CV::TOV {

class Bar : public WidgetTemplate<Bar> {
public:
    Bar();

    // Sets the stacking direction, installs the panel painter and applies
    // the style name (a null name keeps the current one).
    Bar& style(eWidgetAlignment alignment, const char* styleName);
    // The breadth follows the children: before and after they are aligned.
    Bar& styleBreadthMax();
    // Sizes the Bar across its axis to its largest active child plus its
    // own inner margins across the axis.
    void setBreadthMax();

    // The child (by insertion index) that receives the remaining length;
    // -1 or an index past the end: none.
    void setFlexibleIndex(int index);
    // Marks the length along the axis as computed elsewhere (a subclass):
    // imposed sizes along the axis are ignored and a sheet that sets the
    // length is reported.
    void setLengthAutomatic(bool automatic);

    cv::symbol getClass() const override;
    void onAlign() override;
    void onStyleSheetChanged() override;
    void setArrangedWidth(int width) override;
    void setArrangedHeight(int height) override;

    eWidgetAlignment getAlignment() const { return m_eAlignment; }
    int getSpacing() const { return m_iSpacing; }
    int getFlexibleIndex() const { return m_iFlexibleIndex; }
    bool isLengthAutomatic() const { return m_bLengthAutomatic; }
    // Left to right or right to left.
    bool isHorizontal() const;

private:
    void sizeFlexibleChild();
    void reportContradictions();
    // The rule location "source:line" of the first rule giving the property
    // in the Bar's current states.
    std::string ruleLocation(cv::symbol const& property) const;

    eWidgetAlignment m_eAlignment = eAlignTopToBottom;
    int32_t m_iSpacing = 0;
    int32_t m_iFlexibleIndex = -1;
    std::function<void(Bar&)> m_fnBreadth;
    bool m_bLengthAutomatic = false;
    PanelDrawer m_drawer;
};

} // namespace CV::TOV
