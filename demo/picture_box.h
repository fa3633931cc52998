// A picture box: a framed drawing area with a colour surface of its own, reached through a
// device context, so that what is drawn on it stays when the window is repainted.
#pragma once

#include <QColor>
#include <QFrame>
#include <QImage>
#include <QSize>

#include <windows.h>

namespace mendova {

class PictureBox : public QFrame
{
    Q_OBJECT

  public:
    explicit PictureBox(QWidget* parent = nullptr);
    PictureBox(const PictureBox&) = delete;
    PictureBox& operator=(const PictureBox&) = delete;
    ~PictureBox() override;

    // The device context of the drawing area: a memory device context over the surface, at the
    // resolution of the screen the picture is on, drawing text in the foreground colour on the
    // background colour. What is drawn through it shows at the next repaint.
    HDC hdc();
    // Fills the drawing area with the background colour.
    void clear();

    // The system window colour, and the text colour that goes with it.
    QColor backColor() const;
    QColor foreColor() const;

    // A copy of the drawing area as it stands.
    QImage image();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void ensureSurface();
    void releaseSurface();
    QImage surfaceView(); // the surface's own pixels, not a copy

    HDC dc_ = nullptr;
    HBITMAP surface_ = nullptr;
    HGDIOBJ kept_ = nullptr;
    void* bits_ = nullptr;
    QSize size_;
    int dpiX_ = 0;
    int dpiY_ = 0;
};

} // namespace mendova
