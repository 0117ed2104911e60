#pragma once

namespace rv {

// Placement of the preview window's picture, notice and scroll bar, in twips. The window's
// height is taken as the old window measured it: caption and menu included, 720 twips of them.
struct PreviewGeometry {
    int pictureLeft = 0;
    int labelLeft = 0;
    int scrollLeft = 0;
    int scrollHeight = 0;
    int scrollMaximum = 0;
    bool scrollEnabled = true;
};

constexpr int kPreviewChrome = 720; // caption and menu
constexpr int kPreviewPictureTop = 240;

PreviewGeometry previewGeometry(int windowWidth, int windowHeight, int pictureWidth, int pictureHeight,
                                int labelWidth, int scrollWidth);

// Top of the picture for a scroll value.
inline int previewPictureTop(int scrollValue) { return kPreviewPictureTop - scrollValue; }

// The page shown after a step back (-1) or forward (+1), kept within 1..pages.
int previewPageAfter(int page, int step, int pages);

} // namespace rv
