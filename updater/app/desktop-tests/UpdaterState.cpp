#include "UpdaterState.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace CV::desktop_test {

namespace {

// A reader for the small JSON subset the channel writes: objects, arrays,
// strings with escapes, integers and true/false.
class Reader {
public:
    explicit Reader(std::string const& text)
        : m_text(text)
    {
    }

    bool ok() const { return m_ok; }

    void skipSpace()
    {
        while (m_at < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_at])))
            ++m_at;
    }

    bool take(char c)
    {
        skipSpace();
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }

    void expect(char c)
    {
        if (!take(c))
            m_ok = false;
    }

    std::string string()
    {
        std::string out;
        expect('"');
        while (m_ok && m_at < m_text.size() && m_text[m_at] != '"') {
            char c = m_text[m_at++];
            if (c == '\\' && m_at < m_text.size()) {
                char const e = m_text[m_at++];
                switch (e) {
                case 'n': c = '\n'; break;
                case 't': c = '\t'; break;
                case 'r': c = '\r'; break;
                case 'u': {
                    unsigned const code = std::strtoul(m_text.substr(m_at, 4).c_str(), nullptr, 16);
                    m_at += 4;
                    appendUtf8(out, code);
                    continue;
                }
                default: c = e;
                }
            }
            out += c;
        }
        expect('"');
        return out;
    }

    long number()
    {
        skipSpace();
        std::size_t used = 0;
        long const value = std::stol(m_text.substr(m_at, 24), &used);
        m_at += used;
        return value;
    }

    bool boolean()
    {
        skipSpace();
        if (m_text.compare(m_at, 4, "true") == 0) {
            m_at += 4;
            return true;
        }
        if (m_text.compare(m_at, 5, "false") == 0) {
            m_at += 5;
            return false;
        }
        m_ok = false;
        return false;
    }

    // Skips any value (for keys this reader does not know).
    void skipValue()
    {
        skipSpace();
        if (m_at >= m_text.size()) {
            m_ok = false;
            return;
        }
        char const c = m_text[m_at];
        if (c == '"')
            string();
        else if (c == '{' || c == '[') {
            char const close = c == '{' ? '}' : ']';
            ++m_at;
            if (take(close))
                return;
            do {
                if (close == '}') {
                    string();
                    expect(':');
                }
                skipValue();
            } while (m_ok && take(','));
            expect(close);
        } else if (c == 't' || c == 'f')
            boolean();
        else if (c == 'n' && m_text.compare(m_at, 4, "null") == 0)
            m_at += 4;
        else
            number();
    }

private:
    static void appendUtf8(std::string& out, unsigned code)
    {
        if (code < 0x80)
            out += char(code);
        else if (code < 0x800) {
            out += char(0xC0 | (code >> 6));
            out += char(0x80 | (code & 0x3F));
        } else {
            out += char(0xE0 | (code >> 12));
            out += char(0x80 | ((code >> 6) & 0x3F));
            out += char(0x80 | (code & 0x3F));
        }
    }

    std::string const& m_text;
    std::size_t m_at = 0;
    bool m_ok = true;
};

WidgetState readWidget(Reader& reader)
{
    WidgetState widget;
    reader.expect('{');
    if (reader.take('}'))
        return widget;
    do {
        std::string const key = reader.string();
        reader.expect(':');
        if (key == "path")
            widget.path = reader.string();
        else if (key == "id")
            widget.id = reader.string();
        else if (key == "class")
            widget.widgetClass = reader.string();
        else if (key == "style")
            widget.style = reader.string();
        else if (key == "shown")
            widget.shown = reader.boolean();
        else if (key == "text")
            widget.text = reader.string();
        else if (key == "rect") {
            reader.expect('[');
            widget.x = int(reader.number());
            reader.expect(',');
            widget.y = int(reader.number());
            reader.expect(',');
            widget.width = int(reader.number());
            reader.expect(',');
            widget.height = int(reader.number());
            reader.expect(']');
        } else if (key == "attributes") {
            reader.expect('{');
            if (!reader.take('}')) {
                do {
                    std::string const name = reader.string();
                    reader.expect(':');
                    widget.attributes[name] = reader.string();
                } while (reader.ok() && reader.take(','));
                reader.expect('}');
            }
        } else
            reader.skipValue();
    } while (reader.ok() && reader.take(','));
    reader.expect('}');
    return widget;
}

} // namespace

std::optional<UpdaterState> UpdaterState::read(std::string const& file)
{
    std::ifstream in(file);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return parse(text.str());
}

std::optional<UpdaterState> UpdaterState::parse(std::string const& text)
{
    UpdaterState state;
    Reader reader(text);
    try {
        reader.expect('{');
        do {
            std::string const key = reader.string();
            reader.expect(':');
            if (key == "page")
                state.m_page = int(reader.number());
            else if (key == "widgets") {
                reader.expect('[');
                if (!reader.take(']')) {
                    do
                        state.m_widgets.push_back(readWidget(reader));
                    while (reader.ok() && reader.take(','));
                    reader.expect(']');
                }
            } else if (key == "applicationEvents") {
                reader.expect('[');
                if (!reader.take(']')) {
                    do
                        state.m_applicationEvents.push_back(unsigned(reader.number()));
                    while (reader.ok() && reader.take(','));
                    reader.expect(']');
                }
            } else
                reader.skipValue();
        } while (reader.ok() && reader.take(','));
        reader.expect('}');
    } catch (std::exception const&) {
        return std::nullopt;
    }
    if (!reader.ok())
        return std::nullopt;
    return state;
}

WidgetState const* UpdaterState::find(std::string const& id, std::string const& pathSuffix) const
{
    for (auto const& widget : m_widgets) {
        bool const pathMatches = pathSuffix.empty() ||
            (widget.path.size() >= pathSuffix.size() &&
             widget.path.compare(widget.path.size() - pathSuffix.size(), pathSuffix.size(), pathSuffix) == 0);
        if (widget.id == id && pathMatches)
            return &widget;
    }
    return nullptr;
}

std::string UpdaterState::textOf(std::string const& id, std::string const& pathSuffix) const
{
    WidgetState const* widget = find(id, pathSuffix);
    return widget ? widget->text : "<missing>";
}

} // namespace CV::desktop_test
