#pragma once
#include <cstdint>

namespace CV {
namespace BAS {
class Stream;
}

namespace FEN {

// Image metadata of a picture: alpha channel, animation frames and the
// fixed borders of a picture that may be stretched as a nine-patch.
class PictureProperties {
public:
    enum eOrientation : uint32_t {
        eStacked = 1, // frames top to bottom
        eSideBySide = 2, // frames left to right
    };

    // Bits of the resizable flags.
    static constexpr uint32_t kVertResizable = 1u << 0;
    static constexpr uint32_t kHorzResizable = 1u << 1;

    PictureProperties() = default;
    PictureProperties(PictureProperties const&) = default;
    PictureProperties& operator=(PictureProperties const&) = default;
    virtual ~PictureProperties() = default;

    virtual void setAlphaChannel(bool alpha);
    virtual void setHorizontalAnimation(bool horizontal);
    virtual void setAnimationOrientation(eOrientation orientation);
    virtual void setNumAnimations(unsigned count);
    virtual void setVertResizable(bool resizable);
    virtual void setHorzResizable(bool resizable);
    virtual void setFixedTop(int pixels);
    virtual void setFixedBottom(int pixels);
    virtual void setFixedLeft(int pixels);
    virtual void setFixedRight(int pixels);
    // The 33-byte property record: version, alpha flag, orientation, frame
    // count, resizable flags and the four fixed borders. Stream errors show
    // in the stream's status.
    virtual bool read(BAS::Stream& stream);
    virtual bool write(BAS::Stream& stream);
    virtual void propertiesChanged();

    bool hasAlphaChannel() const { return m_bAlphaChannel; }
    eOrientation getAnimationOrientation() const { return m_eOrientation; }
    unsigned getNumAnimations() const { return m_uNumAnimations; }
    uint32_t getResizableFlags() const { return m_uResizable; }
    bool isVertResizable() const { return (m_uResizable & kVertResizable) != 0; }
    bool isHorzResizable() const { return (m_uResizable & kHorzResizable) != 0; }
    int getFixedTop() const { return m_iFixedTop; }
    int getFixedBottom() const { return m_iFixedBottom; }
    int getFixedLeft() const { return m_iFixedLeft; }
    int getFixedRight() const { return m_iFixedRight; }

    static constexpr uint32_t kRecordVersion = 1;
    static constexpr unsigned kRecordSize = 33;

private:
    void setResizableBit(uint32_t bit, bool on);

    bool m_bAlphaChannel = false;
    eOrientation m_eOrientation = eStacked;
    uint32_t m_uNumAnimations = 0;
    uint32_t m_uResizable = 0;
    int32_t m_iFixedTop = 0;
    int32_t m_iFixedBottom = 0;
    int32_t m_iFixedLeft = 0;
    int32_t m_iFixedRight = 0;
};

} // namespace FEN
} // namespace CV
