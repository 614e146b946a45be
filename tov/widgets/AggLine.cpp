#include "AggLine.h"

#include <agg_conv_stroke.h>
#include <agg_path_storage.h>
#include <agg_pixfmt_rgba.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_rendering_buffer.h>
#include <agg_scanline_u.h>

#include <algorithm>

#include "FEN/Picture.h"

namespace CV::TOV::DETAIL {

namespace {

using Blender = agg::comp_op_adaptor_rgba<agg::rgba8, agg::order_bgra>;
using PixelFormat = agg::pixfmt_custom_blend_rgba<Blender, agg::rendering_buffer>;

// The part of the picture that drawing may touch, in buffer pixels.
BAS::Rect clipInBuffer(FEN::Picture const& picture)
{
    BAS::Rect whole{0, 0, picture.getWidth(), picture.getHeight()};
    if (!picture.isClipping())
        return whole;
    BAS::Rect const& clip = picture.getClipRect();
    BAS::Point const& origin = picture.getOrigin();
    return {std::max(whole.left, clip.left + origin.x), std::max(whole.top, clip.top + origin.y),
            std::min(whole.right, clip.right + origin.x), std::min(whole.bottom, clip.bottom + origin.y)};
}

} // namespace

void drawAggLine(FEN::Picture& picture, std::pair<BAS::Point, BAS::Point> const& line, unsigned colour, float width)
{
    BAS::Rect const clip = clipInBuffer(picture);
    if (clip.left >= clip.right || clip.top >= clip.bottom || !picture.getPixels())
        return;
    BAS::Point const& origin = picture.getOrigin();

    agg::path_storage path;
    path.move_to(line.first.x + origin.x, line.first.y + origin.y);
    path.line_to(line.second.x + origin.x, line.second.y + origin.y);
    agg::conv_stroke<agg::path_storage> stroke(path);
    stroke.width(width);
    stroke.line_cap(agg::butt_cap);
    stroke.line_join(agg::round_join);
    stroke.inner_join(agg::inner_round);

    agg::rendering_buffer buffer(reinterpret_cast<agg::int8u*>(picture.getPixels()), picture.getWidth(),
                                 picture.getHeight(), picture.getWidth() * 4);
    PixelFormat pixels(buffer, agg::comp_op_src_over);
    agg::renderer_base<PixelFormat> base(pixels);
    base.clip_box(clip.left, clip.top, clip.right - 1, clip.bottom - 1);
    agg::renderer_scanline_aa_solid<agg::renderer_base<PixelFormat>> solid(base);
    solid.color(agg::rgba8((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF, colour >> 24));

    agg::rasterizer_scanline_aa<> rasterizer;
    agg::scanline_u8 scanline;
    rasterizer.add_path(stroke);
    agg::render_scanlines(rasterizer, scanline, solid);
}

} // namespace CV::TOV::DETAIL
