#pragma once
// A window into the running updater for tests that drive it from outside
// the process: on every publish the page shown and, for every widget, its
// id path, class, style name, whether it is shown, its rectangle in the
// window, its text and its attributes are written as one JSON document to
// the file named by VARANTO_STATE_CHANNEL, with the codes of the application
// events (10000-10005) the application object received, in order. A test reads the file, clicks at
// a widget's rectangle by id and reads the texts back.
//
// Off unless that variable is set; a normal start never writes anything.
#include <memory>
#include <string>
#include <vector>

namespace CV {

namespace TOV {
class Widget;
}

class StateChannel {
public:
    static constexpr const char* kEnvironmentVariable = "VARANTO_STATE_CHANNEL";

    // The channel the environment asks for, or null (the normal case).
    static std::unique_ptr<StateChannel> fromEnvironment();

    explicit StateChannel(std::string path);

    // Writes the state when it differs from the last one written; the file
    // is replaced whole, so a reader never sees half a document.
    void publish(TOV::Widget const& root, int page, std::vector<unsigned> const& applicationEvents = {});

    // The document for the tree under root (root included).
    static std::string describe(TOV::Widget const& root, int page, std::vector<unsigned> const& applicationEvents = {});

    std::string const& getPath() const { return m_path; }

private:
    bool writeWhole(std::string const& text) const;

    std::string m_path;
    std::string m_lastWritten;
};

} // namespace CV
