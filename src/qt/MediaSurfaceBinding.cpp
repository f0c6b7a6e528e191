#include "qt/MediaSurfaceBinding.h"

#include <QWidget>

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

} // namespace qtfront
