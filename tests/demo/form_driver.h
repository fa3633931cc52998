// Drives the Mendovae form as a person would: opens it, types, clicks, and answers the message
// boxes, noting each box as it was shown.
#pragma once

#include <QImage>
#include <QList>
#include <QMessageBox>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

#include "gdi_test.h"
#include "mendovae.h"

namespace mendova::test {

struct SeenMessage
{
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    // While the box was shown: the graphics objects alive, and the picture's drawing area.
    int liveGdiObjects = 0;
    QImage picture;
};

// Runs `action` and answers every message box that it opens with OK.
QList<SeenMessage> answeringMessages(const std::function<void()>& action);

// Builds the form (Form_Load runs and may open message boxes) and shows it.
std::unique_ptr<Mendovae> openForm(QList<SeenMessage>* messages = nullptr);

// The form's control of that name, or null.
template <class Control> Control* control(const QWidget& form, const char* name)
{
    return form.findChild<Control*>(QString::fromLatin1(name));
}

// Clicks the button of that name.
QList<SeenMessage> click(const QWidget& form, const char* button);

// Picture1's drawing area as it stands.
QImage picture(const QWidget& form);

// True when every pixel of `image` is `colour`.
bool allOf(const QImage& image, const QColor& colour);

// The part of `image` in `area`, with the pixels of colour `dark` taken as black.
lorvaxen::test::Pixels pixelsOf(const QImage& image, const QRect& area, const QColor& dark);

} // namespace mendova::test
