#include "picture_box.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QScreen>

namespace mendova {
namespace {

COLORREF colorRef(const QColor& colour)
{
    return RGB(colour.red(), colour.green(), colour.blue());
}

} // namespace

PictureBox::PictureBox(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
}

PictureBox::~PictureBox()
{
    releaseSurface();
}

QColor PictureBox::backColor() const
{
    return palette().color(QPalette::Base);
}

QColor PictureBox::foreColor() const
{
    return palette().color(QPalette::Text);
}

HDC PictureBox::hdc()
{
    ensureSurface();
    SetTextColor(dc_, colorRef(foreColor()));
    SetBkColor(dc_, colorRef(backColor()));
    update(); // whoever asks for the device context may draw on it
    return dc_;
}

void PictureBox::clear()
{
    ensureSurface();
    surfaceView().fill(backColor());
    update();
}

QImage PictureBox::image()
{
    ensureSurface();
    // The surface's fourth byte is unused, so the copy is made opaque.
    return surfaceView().convertToFormat(QImage::Format_ARGB32);
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), image());
}

QImage PictureBox::surfaceView()
{
    if (bits_ == nullptr) {
        return {};
    }
    const qsizetype bytesPerLine = qsizetype{size_.width()} * 4;
    return {static_cast<uchar*>(bits_), size_.width(), size_.height(), bytesPerLine,
            QImage::Format_RGB32};
}

// The surface follows the drawing area's size and the screen's resolution; what it showed is
// carried over when either changes.
void PictureBox::ensureSurface()
{
    const QSize size = contentsRect().size().expandedTo(QSize(1, 1));
    const QScreen* where = screen();
    const int dpiX = qRound(where->logicalDotsPerInchX());
    const int dpiY = qRound(where->logicalDotsPerInchY());
    if (dc_ != nullptr && size == size_ && dpiX == dpiX_ && dpiY == dpiY_) {
        return;
    }
    const QImage previous = surfaceView().copy();
    releaseSurface();

    HDC screenDc = CreateReferenceDC(dpiX, dpiY, RC_BITBLT);
    dc_ = CreateCompatibleDC(screenDc);
    DeleteDC(screenDc);
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{
        sizeof(BITMAPINFOHEADER), size.width(), -size.height(), 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    surface_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    kept_ = SelectObject(dc_, surface_);
    size_ = size;
    dpiX_ = dpiX;
    dpiY_ = dpiY;

    QImage view = surfaceView();
    view.fill(backColor());
    if (!previous.isNull() && !view.isNull()) {
        QPainter(&view).drawImage(0, 0, previous);
    }
}

void PictureBox::releaseSurface()
{
    if (dc_ != nullptr) {
        SelectObject(dc_, kept_);
        DeleteDC(dc_);
    }
    if (surface_ != nullptr) {
        DeleteObject(surface_);
    }
    dc_ = nullptr;
    surface_ = nullptr;
    kept_ = nullptr;
    bits_ = nullptr;
}

} // namespace mendova
