// The Win32 face's geometry: the form's places and sizes, kept in twips, as pixels of a screen
// whose two axes may have different resolutions. Whatever runs across (a left edge, a width)
// follows the horizontal resolution; whatever runs down (a top edge, a height, the font's height)
// the vertical one.
#pragma once

#include "form.h"

namespace mendova {

class FormGeometry
{
  public:
    FormGeometry(int dpiX, int dpiY) : dpiX_(dpiX), dpiY_(dpiY) {}

    // The form's client area.
    SIZE client() const { return {across(kFormWidth), down(kFormHeight)}; }

    // A control's rectangle in the form's client area. A frame's control is placed within the
    // frame: each of the two offsets is converted on its own, then added.
    RECT place(Control control) const
    {
        const ControlRow& row = rowOf(control);
        POINT origin{0, 0};
        if (row.container) {
            const ControlRow& frame = rowOf(*row.container);
            origin = {across(frame.left), down(frame.top)};
        }
        const LONG left = origin.x + across(row.left);
        const LONG top = origin.y + down(row.top);
        return {left, top, left + across(row.width), top + down(row.height)};
    }

    // The form's font is nine points, the scale of the layout; negative, as CreateFont takes the
    // height of the characters without their internal leading.
    int fontHeight() const { return -MulDiv(9, dpiY_, 72); }

  private:
    int across(int twips) const { return pixels(twips, dpiX_); }
    int down(int twips) const { return pixels(twips, dpiY_); }

    int dpiX_;
    int dpiY_;
};

} // namespace mendova
