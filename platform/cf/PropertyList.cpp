#include "platform/cf/PropertyList.h"

#include "platform/cf/CFArray.h"
#include "platform/cf/CFBoolean.h"
#include "platform/cf/CFDictionary.h"
#include "platform/cf/CFNumber.h"
#include "platform/cf/CFString.h"

#include "platform/system/SmallFile.h"

#include <glib.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace platform::cf {

namespace {

// One open container element and, for a dictionary, its pending key.
struct Frame {
    Object* container = nullptr; // Array or Dictionary; null for <plist>
    CFTypeRef pendingKey = nullptr;
};

struct ParseState {
    std::vector<Frame> frames;
    std::string text; // character data of the current scalar element
    int skippedDepth = 0; // depth inside an element that is skipped
    CFTypeRef result = nullptr;
    bool failed = false;

    ~ParseState()
    {
        for (Frame& frame : frames) {
            if (frame.pendingKey)
                CFRelease(frame.pendingKey);
            if (frame.container)
                CFRelease(frame.container);
        }
        if (result)
            CFRelease(result);
    }

    // Takes over one reference of value.
    void store(CFTypeRef value)
    {
        if (frames.empty() || value == nullptr) {
            if (value)
                CFRelease(value);
            failed = true;
            return;
        }
        Frame& top = frames.back();
        if (top.container == nullptr) {
            if (result)
                CFRelease(result);
            result = value;
        } else if (top.container->typeId() == TypeId::Array) {
            static_cast<Array*>(top.container)->append(value);
            CFRelease(value);
        } else if (top.pendingKey) {
            static_cast<Dictionary*>(top.container)->set(top.pendingKey, value);
            CFRelease(top.pendingKey);
            top.pendingKey = nullptr;
            CFRelease(value);
        } else {
            CFRelease(value); // a value without its key
            failed = true;
        }
    }
};

bool isScalar(const char* name)
{
    for (const char* scalar : {"key", "string", "integer", "real", "true", "false", "date", "data"})
        if (std::strcmp(name, scalar) == 0)
            return true;
    return false;
}

void onStart(GMarkupParseContext*, const gchar* name, const gchar**, const gchar**, gpointer data, GError** error)
{
    auto& state = *static_cast<ParseState*>(data);
    if (state.skippedDepth > 0) {
        ++state.skippedDepth;
        return;
    }
    state.text.clear();
    const bool opensContainer =
        std::strcmp(name, "plist") == 0 || std::strcmp(name, "dict") == 0 || std::strcmp(name, "array") == 0;
    if (opensContainer && state.frames.size() > static_cast<std::size_t>(PropertyList::kMaxDepth)) {
        g_set_error_literal(error, G_MARKUP_ERROR, G_MARKUP_ERROR_INVALID_CONTENT, "nested too deeply");
        state.failed = true;
        return;
    }
    if (std::strcmp(name, "plist") == 0)
        state.frames.push_back(Frame{});
    else if (std::strcmp(name, "dict") == 0)
        state.frames.push_back(Frame{new Dictionary(), nullptr});
    else if (std::strcmp(name, "array") == 0)
        state.frames.push_back(Frame{new Array(), nullptr});
    else if (!isScalar(name))
        state.skippedDepth = 1;
}

CFTypeRef scalarValue(const char* name, const std::string& text)
{
    if (std::strcmp(name, "string") == 0 || std::strcmp(name, "key") == 0 || std::strcmp(name, "date") == 0)
        return String::createFromUTF8(text);
    if (std::strcmp(name, "true") == 0)
        return CFRetain(kCFBooleanTrue);
    if (std::strcmp(name, "false") == 0)
        return CFRetain(kCFBooleanFalse);
    const std::string trimmed = text.substr(
        text.find_first_not_of(" \t\r\n") == std::string::npos ? text.size() : text.find_first_not_of(" \t\r\n"));
    char* end = nullptr;
    errno = 0;
    if (std::strcmp(name, "integer") == 0) {
        const long long value = std::strtoll(trimmed.c_str(), &end, 0);
        if (trimmed.empty() || errno != 0 || (*end != '\0' && !g_ascii_isspace(*end)))
            return nullptr;
        return new Number(static_cast<std::int64_t>(value));
    }
    if (std::strcmp(name, "real") == 0) {
        const double value = g_ascii_strtod(trimmed.c_str(), &end);
        if (trimmed.empty() || (*end != '\0' && !g_ascii_isspace(*end)))
            return nullptr;
        return new Number(value);
    }
    return nullptr; // data: not used by this program
}

void onEnd(GMarkupParseContext*, const gchar* name, gpointer data, GError**)
{
    auto& state = *static_cast<ParseState*>(data);
    if (state.skippedDepth > 0) {
        --state.skippedDepth;
        return;
    }
    if (std::strcmp(name, "plist") == 0) {
        state.frames.pop_back();
    } else if (std::strcmp(name, "dict") == 0 || std::strcmp(name, "array") == 0) {
        Frame done = state.frames.back();
        state.frames.pop_back();
        if (done.pendingKey) {
            CFRelease(done.pendingKey);
            state.failed = true;
        }
        state.store(done.container);
    } else if (std::strcmp(name, "key") == 0) {
        Frame* top = state.frames.empty() ? nullptr : &state.frames.back();
        if (top == nullptr || top->container == nullptr || top->container->typeId() != TypeId::Dictionary ||
            top->pendingKey) {
            state.failed = true;
            return;
        }
        top->pendingKey = String::createFromUTF8(state.text);
    } else if (std::strcmp(name, "data") == 0) {
        // Binary data: not used by this program; its key is dropped.
        if (!state.frames.empty() && state.frames.back().pendingKey) {
            CFRelease(state.frames.back().pendingKey);
            state.frames.back().pendingKey = nullptr;
        }
    } else {
        state.store(scalarValue(name, state.text));
    }
    state.text.clear();
}

void onText(GMarkupParseContext*, const gchar* text, gsize length, gpointer data, GError**)
{
    auto& state = *static_cast<ParseState*>(data);
    if (state.skippedDepth == 0)
        state.text.append(text, length);
}

} // namespace

CFTypeRef PropertyList::parseXML(const std::string& text)
{
    GMarkupParser parser = {};
    parser.start_element = &onStart;
    parser.end_element = &onEnd;
    parser.text = &onText;
    ParseState state;
    GMarkupParseContext* context = g_markup_parse_context_new(&parser, GMarkupParseFlags(0), &state, nullptr);
    const bool parsed = g_markup_parse_context_parse(context, text.data(), static_cast<gssize>(text.size()), nullptr) &&
        g_markup_parse_context_end_parse(context, nullptr);
    g_markup_parse_context_free(context);
    if (!parsed || state.failed || state.result == nullptr)
        return nullptr;
    CFTypeRef result = state.result;
    state.result = nullptr;
    return result;
}

CFTypeRef PropertyList::readXMLFile(const std::string& path)
{
    std::string text;
    const SmallFile::Outcome outcome = SmallFile::read(path, kMaxFileBytes, text);
    if (!outcome) {
        if (outcome.failure != SmallFile::Failure::Missing)
            std::fprintf(stderr, "property list %s: %s\n", path.c_str(), outcome.reason().c_str());
        return nullptr;
    }
    return parseXML(text);
}

} // namespace platform::cf
