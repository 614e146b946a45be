#pragma once
// Run-loop modes: a timer fires only while the loop runs in one of the
// modes it was scheduled for. The loop runs in the default mode; a modal
// panel or alert runs a nested loop in the modal-panel mode, a mouse drag
// one in the event-tracking mode. Work posted to the main thread runs in
// every mode.
namespace platform {

enum class RunLoopMode : unsigned {
    Default = 1u << 0,
    ModalPanel = 1u << 1,
    EventTracking = 1u << 2,
};

// A set of modes.
class RunLoopModes {
public:
    constexpr RunLoopModes(RunLoopMode mode)
        : m_bits(static_cast<unsigned>(mode))
    {
    }
    // Every mode: what the platform calls the common modes.
    static constexpr RunLoopModes all() { return RunLoopModes(7u); }
    constexpr bool contains(RunLoopMode mode) const { return (m_bits & static_cast<unsigned>(mode)) != 0; }
    constexpr RunLoopModes operator|(RunLoopModes other) const { return RunLoopModes(m_bits | other.m_bits); }
    constexpr bool operator==(RunLoopModes other) const { return m_bits == other.m_bits; }

private:
    constexpr explicit RunLoopModes(unsigned bits)
        : m_bits(bits)
    {
    }
    unsigned m_bits;
};

constexpr RunLoopModes operator|(RunLoopMode a, RunLoopMode b)
{
    return RunLoopModes(a) | RunLoopModes(b);
}

} // namespace platform
