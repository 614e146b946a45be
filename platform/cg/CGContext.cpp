#include "platform/cg/CGContext.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <emmintrin.h>
#include <vector>

const char* const kCGColorSpaceGenericRGB = "kCGColorSpaceGenericRGB";
const char* const kCGColorSpaceSRGB = "kCGColorSpaceSRGB";

namespace {

struct Counted {
    std::atomic<int> references{1};
};

template <typename T> T* retain(T* object)
{
    if (object)
        object->references.fetch_add(1, std::memory_order_relaxed);
    return object;
}

template <typename T> void release(T* object)
{
    if (object && object->references.fetch_sub(1, std::memory_order_acq_rel) == 1)
        delete object;
}

// A colour in premultiplied floats, 0 to 255.
struct Colour {
    float b, g, r, a;
};

enum class Alpha { Premultiplied, Straight, Opaque };

// The pixel formats understood: 32-bit little-endian, alpha first.
bool alphaOf(CGBitmapInfo info, size_t bitsPerComponent, size_t bitsPerPixel, Alpha& alpha)
{
    if (bitsPerComponent != 8 || bitsPerPixel != 32 || (info & kCGBitmapByteOrderMask) != kCGBitmapByteOrder32Little)
        return false;
    switch (info & kCGBitmapAlphaInfoMask) {
    case kCGImageAlphaPremultipliedFirst: alpha = Alpha::Premultiplied; return true;
    case kCGImageAlphaFirst: alpha = Alpha::Straight; return true;
    case kCGImageAlphaNoneSkipFirst: alpha = Alpha::Opaque; return true;
    default: return false;
    }
}

Colour readPixel(const unsigned char* p, Alpha alpha)
{
    Colour c{float(p[0]), float(p[1]), float(p[2]), float(p[3])};
    if (alpha == Alpha::Opaque) {
        c.a = 255.f;
    } else if (alpha == Alpha::Straight) {
        const float f = c.a / 255.f;
        c.b *= f;
        c.g *= f;
        c.r *= f;
    }
    return c;
}

unsigned char toByte(float v)
{
    return static_cast<unsigned char>(std::lround(std::clamp(v, 0.f, 255.f)));
}

// The bytes put() writes for source: the same roundings.
uint32_t pixelValue(const Colour& source, Alpha target)
{
    const uint32_t a = target == Alpha::Opaque ? 255 : toByte(source.a);
    return uint32_t(toByte(source.b)) | uint32_t(toByte(source.g)) << 8 | uint32_t(toByte(source.r)) << 16 | a << 24;
}

// count pixels of one value from p on. Rows of four pixels or more take
// one unaligned store at each end and aligned stores between them (the
// stores may overlap: they all write the same value).
void fillRow(unsigned char* p, size_t count, uint32_t value)
{
    if (count < 4) {
        for (size_t i = 0; i < count; ++i)
            std::memcpy(p + i * 4, &value, 4);
        return;
    }
    const __m128i four = _mm_set1_epi32(static_cast<int>(value));
    unsigned char* const end = p + count * 4;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), four);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(end - 16), four);
    const uintptr_t misalignment = reinterpret_cast<uintptr_t>(p) % 16;
    if (misalignment % 4 != 0) {
        for (unsigned char* q = p + 16; q + 16 <= end; q += 16)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(q), four);
        return;
    }
    unsigned char* q = p + (16 - misalignment);
    for (; q + 64 <= end; q += 64) {
        _mm_store_si128(reinterpret_cast<__m128i*>(q), four);
        _mm_store_si128(reinterpret_cast<__m128i*>(q + 16), four);
        _mm_store_si128(reinterpret_cast<__m128i*>(q + 32), four);
        _mm_store_si128(reinterpret_cast<__m128i*>(q + 48), four);
    }
    for (; q + 16 <= end; q += 16)
        _mm_store_si128(reinterpret_cast<__m128i*>(q), four);
}

// count pixels from source to target, each with the bits of alphaBits set.
void copyRow(const unsigned char* source, unsigned char* target, size_t count, uint32_t alphaBits)
{
    const __m128i bits = _mm_set1_epi32(static_cast<int>(alphaBits));
    size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i * 4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target + i * 4), _mm_or_si128(four, bits));
    }
    for (; i < count; ++i) {
        uint32_t value;
        std::memcpy(&value, source + i * 4, 4);
        value |= alphaBits;
        std::memcpy(target + i * 4, &value, 4);
    }
}

} // namespace

struct CGColorSpace : Counted {
    const char* name;
};

struct CGDataProvider : Counted {
    void* info;
    const void* data;
    size_t size;
    CGDataProviderReleaseDataCallback releaseData;
    ~CGDataProvider()
    {
        if (releaseData)
            releaseData(info, data, size);
    }
};

struct CGImage : Counted {
    size_t width;
    size_t height;
    size_t bytesPerRow;
    Alpha alpha;
    CGDataProviderRef provider;
    CGColorSpaceRef space;
    ~CGImage()
    {
        CGDataProviderRelease(provider);
        CGColorSpaceRelease(space);
    }
    const unsigned char* pixel(size_t x, size_t y) const
    {
        return static_cast<const unsigned char*>(provider->data) + y * bytesPerRow + x * 4;
    }
};

struct CGContext : Counted {
    struct State {
        // User space to device space (pixels, y up from the bottom row).
        CGFloat sx = 1, sy = 1, tx = 0, ty = 0;
        CGRect clip; // device space
        CGBlendMode blend = kCGBlendModeNormal;
        CGInterpolationQuality interpolation = kCGInterpolationDefault;
        Colour fill{0, 0, 0, 255};
    };
    unsigned char* data;
    size_t width;
    size_t height;
    size_t bytesPerRow;
    Alpha alpha;
    CGColorSpaceRef space;
    State state;
    std::vector<State> saved;
    ~CGContext() { CGColorSpaceRelease(space); }

    CGPoint toDevice(CGPoint p) const { return CGPoint{state.sx * p.x + state.tx, state.sy * p.y + state.ty}; }
    CGRect toDevice(CGRect r) const
    {
        const CGPoint a = toDevice(CGPoint{CGRectGetMinX(r), CGRectGetMinY(r)});
        const CGPoint b = toDevice(CGPoint{CGRectGetMaxX(r), CGRectGetMaxY(r)});
        return CGRectMake(std::min(a.x, b.x), std::min(a.y, b.y), std::fabs(b.x - a.x), std::fabs(b.y - a.y));
    }
    // Device pixels whose centres lie in rect and in the clip.
    void pixelSpan(CGRect device, long& x0, long& x1, long& y0, long& y1) const
    {
        const CGRect area = CGRectIntersection(device, state.clip);
        x0 = std::lround(std::ceil(CGRectGetMinX(area) - 0.5));
        x1 = std::lround(std::ceil(CGRectGetMaxX(area) - 0.5));
        y0 = std::lround(std::ceil(CGRectGetMinY(area) - 0.5));
        y1 = std::lround(std::ceil(CGRectGetMaxY(area) - 0.5));
        x0 = std::max(x0, 0L);
        y0 = std::max(y0, 0L);
        x1 = std::min(x1, long(width));
        y1 = std::min(y1, long(height));
    }
    unsigned char* pixel(long x, long deviceY) { return data + (height - 1 - deviceY) * bytesPerRow + x * 4; }
    // Whether put() writes source's own bytes whatever the pixel holds.
    bool replaces(const Colour& source) const { return state.blend == kCGBlendModeCopy || source.a == 255.f; }
    void put(long x, long deviceY, const Colour& source)
    {
        unsigned char* p = pixel(x, deviceY);
        Colour out = source;
        if (state.blend != kCGBlendModeCopy) {
            const Colour dest = readPixel(p, alpha);
            const float keep = 1.f - source.a / 255.f;
            out = Colour{source.b + dest.b * keep, source.g + dest.g * keep, source.r + dest.r * keep,
                         source.a + dest.a * keep};
        }
        p[0] = toByte(out.b);
        p[1] = toByte(out.g);
        p[2] = toByte(out.r);
        p[3] = alpha == Alpha::Opaque ? 255 : toByte(out.a);
    }
};

CGColorSpaceRef CGColorSpaceCreateDeviceRGB()
{
    return new CGColorSpace{{}, kCGColorSpaceSRGB};
}

CGColorSpaceRef CGColorSpaceCreateWithName(const char* name)
{
    if (name == nullptr)
        return nullptr;
    for (const char* known : {kCGColorSpaceGenericRGB, kCGColorSpaceSRGB})
        if (name == known || std::strcmp(name, known) == 0)
            return new CGColorSpace{{}, known};
    return nullptr;
}

CGColorSpaceRef CGColorSpaceRetain(CGColorSpaceRef space)
{
    return retain(space);
}
void CGColorSpaceRelease(CGColorSpaceRef space)
{
    release(space);
}
const char* CGColorSpaceGetName(CGColorSpaceRef space)
{
    return space ? space->name : nullptr;
}

CGDataProviderRef CGDataProviderCreateWithData(void* info, const void* data, size_t size,
                                               CGDataProviderReleaseDataCallback releaseData)
{
    auto* provider = new CGDataProvider;
    provider->info = info;
    provider->data = data;
    provider->size = size;
    provider->releaseData = releaseData;
    return provider;
}

CGDataProviderRef CGDataProviderRetain(CGDataProviderRef provider)
{
    return retain(provider);
}
void CGDataProviderRelease(CGDataProviderRef provider)
{
    release(provider);
}

CGImageRef CGImageCreate(size_t width, size_t height, size_t bitsPerComponent, size_t bitsPerPixel, size_t bytesPerRow,
                         CGColorSpaceRef space, CGBitmapInfo bitmapInfo, CGDataProviderRef provider, const CGFloat*,
                         bool, CGColorRenderingIntent)
{
    Alpha alpha;
    if (!provider || !alphaOf(bitmapInfo, bitsPerComponent, bitsPerPixel, alpha) || bytesPerRow < width * 4 ||
        (height > 0 && provider->size < (height - 1) * bytesPerRow + width * 4))
        return nullptr;
    auto* image = new CGImage;
    image->width = width;
    image->height = height;
    image->bytesPerRow = bytesPerRow;
    image->alpha = alpha;
    image->provider = CGDataProviderRetain(provider);
    image->space = CGColorSpaceRetain(space);
    return image;
}

CGImageRef CGImageRetain(CGImageRef image)
{
    return retain(image);
}
void CGImageRelease(CGImageRef image)
{
    release(image);
}
size_t CGImageGetWidth(CGImageRef image)
{
    return image ? image->width : 0;
}
size_t CGImageGetHeight(CGImageRef image)
{
    return image ? image->height : 0;
}

CGContextRef CGBitmapContextCreate(void* data, size_t width, size_t height, size_t bitsPerComponent, size_t bytesPerRow,
                                   CGColorSpaceRef space, CGBitmapInfo bitmapInfo)
{
    Alpha alpha;
    if (!data || !alphaOf(bitmapInfo, bitsPerComponent, 32, alpha) || alpha == Alpha::Straight ||
        bytesPerRow < width * 4)
        return nullptr;
    auto* context = new CGContext;
    context->data = static_cast<unsigned char*>(data);
    context->width = width;
    context->height = height;
    context->bytesPerRow = bytesPerRow;
    context->alpha = alpha;
    context->space = CGColorSpaceRetain(space);
    context->state.clip = CGRectMake(0, 0, CGFloat(width), CGFloat(height));
    return context;
}

CGContextRef CGContextRetain(CGContextRef context)
{
    return retain(context);
}
void CGContextRelease(CGContextRef context)
{
    release(context);
}
void* CGBitmapContextGetData(CGContextRef context)
{
    return context ? context->data : nullptr;
}
size_t CGBitmapContextGetWidth(CGContextRef context)
{
    return context ? context->width : 0;
}
size_t CGBitmapContextGetHeight(CGContextRef context)
{
    return context ? context->height : 0;
}
size_t CGBitmapContextGetBytesPerRow(CGContextRef context)
{
    return context ? context->bytesPerRow : 0;
}

void CGContextSaveGState(CGContextRef context)
{
    if (context)
        context->saved.push_back(context->state);
}

void CGContextRestoreGState(CGContextRef context)
{
    if (!context || context->saved.empty())
        return;
    context->state = context->saved.back();
    context->saved.pop_back();
}

void CGContextTranslateCTM(CGContextRef context, CGFloat tx, CGFloat ty)
{
    if (!context)
        return;
    context->state.tx += context->state.sx * tx;
    context->state.ty += context->state.sy * ty;
}

void CGContextScaleCTM(CGContextRef context, CGFloat sx, CGFloat sy)
{
    if (!context)
        return;
    context->state.sx *= sx;
    context->state.sy *= sy;
}

void CGContextClipToRect(CGContextRef context, CGRect rect)
{
    if (context)
        context->state.clip = CGRectIntersection(context->state.clip, context->toDevice(rect));
}

CGRect CGContextGetClipBoundingBox(CGContextRef context)
{
    if (!context || context->state.sx == 0 || context->state.sy == 0)
        return CGRectMake(0, 0, 0, 0);
    const CGContext::State& s = context->state;
    const CGRect clip = s.clip;
    const CGFloat x0 = (CGRectGetMinX(clip) - s.tx) / s.sx, x1 = (CGRectGetMaxX(clip) - s.tx) / s.sx;
    const CGFloat y0 = (CGRectGetMinY(clip) - s.ty) / s.sy, y1 = (CGRectGetMaxY(clip) - s.ty) / s.sy;
    return CGRectMake(std::min(x0, x1), std::min(y0, y1), std::fabs(x1 - x0), std::fabs(y1 - y0));
}

void CGContextSetBlendMode(CGContextRef context, CGBlendMode mode)
{
    if (context)
        context->state.blend = mode;
}

void CGContextSetInterpolationQuality(CGContextRef context, CGInterpolationQuality quality)
{
    if (context)
        context->state.interpolation = quality;
}

CGInterpolationQuality CGContextGetInterpolationQuality(CGContextRef context)
{
    return context ? context->state.interpolation : kCGInterpolationDefault;
}

// Edges are never smoothed here; colour spaces are tokens; nothing strokes.
void CGContextSetShouldAntialias(CGContextRef, bool) { }
void CGContextSetFillColorSpace(CGContextRef, CGColorSpaceRef) { }
void CGContextSetStrokeColorSpace(CGContextRef, CGColorSpaceRef) { }
void CGContextSetLineWidth(CGContextRef, CGFloat) { }

void CGContextSetRGBFillColor(CGContextRef context, CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha)
{
    if (!context)
        return;
    const float a = float(std::clamp(alpha, 0.0, 1.0));
    auto premultiplied = [a](CGFloat v) { return float(std::clamp(v, 0.0, 1.0)) * a * 255.f; };
    context->state.fill = Colour{premultiplied(blue), premultiplied(green), premultiplied(red), a * 255.f};
}

// A colour that replaces the pixels fills whole rows of one value; one that
// blends goes pixel by pixel.
void CGContextFillRect(CGContextRef context, CGRect rect)
{
    if (!context)
        return;
    long x0, x1, y0, y1;
    context->pixelSpan(context->toDevice(rect), x0, x1, y0, y1);
    if (x0 >= x1 || y0 >= y1)
        return;
    if (context->replaces(context->state.fill)) {
        const uint32_t value = pixelValue(context->state.fill, context->alpha);
        for (long y = y0; y < y1; ++y)
            fillRow(context->pixel(x0, y), size_t(x1 - x0), value);
        return;
    }
    for (long y = y0; y < y1; ++y)
        for (long x = x0; x < x1; ++x)
            context->put(x, y, context->state.fill);
}

void CGContextClearRect(CGContextRef context, CGRect rect)
{
    if (!context)
        return;
    const CGContext::State kept = context->state;
    context->state.blend = kCGBlendModeCopy;
    context->state.fill = Colour{0, 0, 0, 0};
    CGContextFillRect(context, rect);
    context->state = kept;
}

namespace {

// Where the samples of one device column (or row) come from: the image
// column (or row) of the nearest pixel, or the two that bilinear sampling
// mixes with the weight of the second. u (or v) is the position across the
// image, 0 to 1; the sampling of a pixel depends on its column and its row
// apart, so each is worked out once per draw.
struct Sample {
    size_t first;
    size_t second;
    float weight;
};

Sample nearestSample(double u, size_t size)
{
    const size_t i = std::min(size - 1, size_t(std::max(0.0, std::floor(u * double(size)))));
    return Sample{i, i, 0.f};
}

Sample bilinearSample(double u, size_t size)
{
    const double f = std::clamp(u * double(size) - 0.5, 0.0, double(size - 1));
    const size_t i = size_t(f);
    return Sample{i, std::min(i + 1, size - 1), float(f - double(i))};
}

Colour sampleNearest(const CGImage& image, const Sample& column, const Sample& row)
{
    return readPixel(image.pixel(column.first, row.first), image.alpha);
}

Colour sampleBilinear(const CGImage& image, const Sample& column, const Sample& row)
{
    const size_t x0 = column.first, x1 = column.second, y0 = row.first, y1 = row.second;
    const float ax = column.weight, ay = row.weight;
    const Colour c00 = readPixel(image.pixel(x0, y0), image.alpha), c10 = readPixel(image.pixel(x1, y0), image.alpha);
    const Colour c01 = readPixel(image.pixel(x0, y1), image.alpha), c11 = readPixel(image.pixel(x1, y1), image.alpha);
    auto mix = [&](float a, float b, float c, float d) {
        return (a * (1 - ax) + b * ax) * (1 - ay) + (c * (1 - ax) + d * ax) * ay;
    };
    return Colour{mix(c00.b, c10.b, c01.b, c11.b), mix(c00.g, c10.g, c01.g, c11.g), mix(c00.r, c10.r, c01.r, c11.r),
                  mix(c00.a, c10.a, c01.a, c11.a)};
}

// Samples of device positions first to end - 1 (centres at + 0.5) over an
// image edge at device position start spanning span pixels.
std::vector<Sample> samplesAlong(long first, long end, double start, double span, size_t size, bool nearest)
{
    std::vector<Sample> samples;
    samples.reserve(size_t(std::max(0L, end - first)));
    for (long i = first; i < end; ++i) {
        const double u = (double(i) + 0.5 - start) / span;
        samples.push_back(nearest ? nearestSample(u, size) : bilinearSample(u, size));
    }
    return samples;
}

// Every sample takes one whole image pixel (no mixing with a neighbour).
bool takesWholePixels(const std::vector<Sample>& samples)
{
    return std::all_of(samples.begin(), samples.end(), [](const Sample& s) { return s.weight == 0.f; });
}

// The samples are image columns first, first + 1, ... in device order.
bool runsForwardOneToOne(const std::vector<Sample>& samples)
{
    for (size_t i = 0; i < samples.size(); ++i)
        if (samples[i].first != samples.front().first + i)
            return false;
    return true;
}

} // namespace

// Each column's and each row's samples are worked out once. Where every
// sample is a whole image pixel (the image lies on the device pixels), the
// pixel is read as it is; where, besides, the columns run one to one and
// put() would write the image's own bytes (a copy, or an opaque image with
// alpha kept as it is), rows are copied.
void CGContextDrawImage(CGContextRef context, CGRect rect, CGImageRef image)
{
    if (!context || !image || image->width == 0 || image->height == 0 || CGRectIsEmpty(rect))
        return;
    // Device positions of the image's left edge and top edge, and the
    // extent towards its right and bottom (negative when mirrored).
    const CGPoint leftTop = context->toDevice(CGPoint{CGRectGetMinX(rect), CGRectGetMaxY(rect)});
    const CGPoint rightBottom = context->toDevice(CGPoint{CGRectGetMaxX(rect), CGRectGetMinY(rect)});
    const double spanX = rightBottom.x - leftTop.x, spanY = rightBottom.y - leftTop.y;
    if (spanX == 0 || spanY == 0)
        return;
    const bool nearest = context->state.interpolation == kCGInterpolationNone;
    long x0, x1, y0, y1;
    context->pixelSpan(context->toDevice(rect), x0, x1, y0, y1);
    if (x0 >= x1 || y0 >= y1)
        return;
    const std::vector<Sample> columns = samplesAlong(x0, x1, leftTop.x, spanX, image->width, nearest);
    const std::vector<Sample> rows = samplesAlong(y0, y1, leftTop.y, spanY, image->height, nearest);
    const bool whole = takesWholePixels(columns) && takesWholePixels(rows);
    const bool copiesBytes = image->alpha == Alpha::Opaque ||
        (image->alpha == Alpha::Premultiplied && context->state.blend == kCGBlendModeCopy);
    if (whole && copiesBytes && runsForwardOneToOne(columns)) {
        const uint32_t alphaBits = image->alpha == Alpha::Opaque || context->alpha == Alpha::Opaque ? 0xFF000000u : 0u;
        for (long y = y0; y < y1; ++y)
            copyRow(image->pixel(columns.front().first, rows[size_t(y - y0)].first), context->pixel(x0, y),
                    columns.size(), alphaBits);
        return;
    }
    const bool readsWhole = nearest || whole;
    for (long y = y0; y < y1; ++y) {
        const Sample& row = rows[size_t(y - y0)];
        for (long x = x0; x < x1; ++x) {
            const Sample& column = columns[size_t(x - x0)];
            context->put(x, y, readsWhole ? sampleNearest(*image, column, row) : sampleBilinear(*image, column, row));
        }
    }
}
