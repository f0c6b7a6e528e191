#include "qt/MediaSurfaceBinding.h"

#include <QWidget>

#include "ui/VisibleArea.h"
#include "ui/Widgets.h"

namespace qtfront {

MediaSurfaceBinding::MediaSurfaceBinding(ui::MediaSurface& surface, BindingHost& host,
                                         std::uint64_t serial, QWidget* parent)
    : Binding(surface, host, serial), surface_(surface) {
    auto* q = new QWidget(parent);
    q->setAttribute(Qt::WA_NativeWindow);
    q->setAttribute(Qt::WA_DontCreateNativeAncestors);
    q->setAttribute(Qt::WA_StyledBackground);
    adopt(q, InputRole::Whole);
}

void MediaSurfaceBinding::nativeWindowChanged() {
    if (QWidget* q = widget())
        surface_.setWindowId(static_cast<std::int64_t>(q->winId()));
}

void MediaSurfaceBinding::applyKind() {
    // The media worker reads the native window from its own thread.
    surface_.setWindowId(static_cast<std::int64_t>(widget()->winId()));
}

bool MediaSurfaceBinding::shownInWindow() const {
    return !ui::visibleArea(surface_).empty();
}

void MediaSurfaceBinding::afterSync() {
    QWidget* q = widget();
    if (!q)
        return;
    const std::vector<ui::Bounds> area = ui::visibleArea(surface_);
    const bool shown = !area.empty();
    if (q->isHidden() == shown)
        q->setVisible(shown);
    if (!shown)
        return;
    // The window is cut to the uncovered part, so that a control bar or a panel
    // lying over part of the video stays visible in front of it.
    QRegion mask;
    if (!ui::wholeArea(surface_, area))
        for (const ui::Bounds& part : area)
            mask += QRect(part.left, part.top, part.width, part.height);
    if (mask == mask_)
        return;
    mask_ = mask;
    if (mask.isEmpty())
        q->clearMask();
    else
        q->setMask(mask);
}

} // namespace qtfront
