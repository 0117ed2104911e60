#include "preview.h"

#include <QtGlobal>

#include <algorithm>

namespace rv {

PreviewGeometry previewGeometry(int windowWidth, int windowHeight, int pictureWidth, int pictureHeight,
                                int labelWidth, int scrollWidth) {
    PreviewGeometry g;
    g.scrollHeight = std::max(0, windowHeight - kPreviewChrome);
    g.scrollLeft = windowWidth - scrollWidth - 120;
    g.pictureLeft = (windowWidth - pictureWidth) / 2 - scrollWidth;
    g.labelLeft = (windowWidth - labelWidth) / 2 - scrollWidth;
    // The scroll bar's range is 16-bit.
    g.scrollMaximum = std::clamp(pictureHeight - windowHeight + 1000, -32768, 32767);
    g.scrollEnabled = g.scrollMaximum >= 0;
    return g;
}

int previewPageAfter(int page, int step, int pages) {
    return std::clamp(page + step, 1, std::max(1, pages));
}

} // namespace rv
