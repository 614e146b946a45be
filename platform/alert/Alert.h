#pragma once
// A modal alert: a heading, an informative text, a style and buttons, each
// with a tag that runModal returns when it is pressed.
//
// Default button (the one Return presses): the one set with
// setDefaultButton, else the first. Dismissing the alert without a button
// (window close, Escape) answers the dismiss answer: the one set with
// setDismissAnswer, else the default button's tag.
//
// Served by the current backend's presenter (platform/backend): a GTK
// message dialog on the desktop; headless, the heading and text go to
// standard error and the default button answers, or an answer handed in
// ahead (AlertAnswers). Off the main thread nobody is asked: the texts go to
// standard error and the default button answers (StandardErrorAlertPresenter).
#include <string>
#include <vector>

namespace platform {

class Alert {
public:
    enum class Style { Informational, Warning, Critical };
    struct Button {
        std::string label;
        int tag;
    };

    void setMessageText(std::string heading) { m_heading = std::move(heading); }
    void setInformativeText(std::string text) { m_text = std::move(text); }
    void setStyle(Style style) { m_style = style; }
    void addButton(std::string label, int tag) { m_buttons.push_back(Button{std::move(label), tag}); }
    // A tag that no button has leaves the first button the default.
    void setDefaultButton(int tag);
    void setDismissAnswer(int tag);

    const std::string& messageText() const { return m_heading; }
    const std::string& informativeText() const { return m_text; }
    Style style() const { return m_style; }
    const std::vector<Button>& buttons() const { return m_buttons; }
    // The default button's tag; -1 without buttons.
    int defaultTag() const;
    int dismissTag() const;

    // Shows the alert and returns the tag of the answer; -1 without buttons.
    int runModal() const;

private:
    std::string m_heading;
    std::string m_text;
    Style m_style = Style::Informational;
    std::vector<Button> m_buttons;
    bool m_hasDefault = false;
    int m_defaultTag = 0;
    bool m_hasDismiss = false;
    int m_dismissTag = 0;
};

} // namespace platform
