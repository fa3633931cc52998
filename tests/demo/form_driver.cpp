#include "form_driver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QTimer>

#include "picture_box.h"

namespace mendova::test {

QList<SeenMessage> answeringMessages(const std::function<void()>& action)
{
    QList<SeenMessage> seen;
    // A modal box runs its own event loop, in which this timer keeps firing.
    QTimer watcher;
    watcher.setInterval(0);
    QObject::connect(&watcher, &QTimer::timeout, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        SeenMessage message{box->windowTitle(), box->text(),          box->standardButtons(),
                            box->icon(),        GdiLiveObjectCount(), {}};
        if (box->parentWidget() != nullptr) {
            message.picture = picture(*box->parentWidget());
        }
        seen.append(message);
        if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
            ok->click();
        } else {
            box->reject();
        }
    });
    watcher.start();
    action();
    watcher.stop();
    return seen;
}

std::unique_ptr<Mendovae> openForm(QList<SeenMessage>* messages)
{
    std::unique_ptr<Mendovae> form;
    const auto seen = answeringMessages([&form] { form = std::make_unique<Mendovae>(); });
    if (messages != nullptr) {
        *messages = seen;
    }
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get())) {
        return nullptr;
    }
    return form;
}

QList<SeenMessage> click(const QWidget& form, const char* button)
{
    auto* target = control<QAbstractButton>(form, button);
    if (target == nullptr) {
        return {};
    }
    return answeringMessages([target] { QTest::mouseClick(target, Qt::LeftButton); });
}

QImage picture(const QWidget& form)
{
    auto* box = control<PictureBox>(form, "Picture1");
    return box == nullptr ? QImage() : box->image();
}

bool allOf(const QImage& image, const QColor& colour)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != colour) {
                return false;
            }
        }
    }
    return !image.isNull();
}

lorvaxen::test::Pixels pixelsOf(const QImage& image, const QRect& area, const QColor& dark)
{
    lorvaxen::test::Pixels pixels;
    pixels.width = area.width();
    pixels.height = area.height();
    pixels.bitsPixel = 1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            pixels.black.push_back(image.pixelColor(x, y) == dark);
        }
    }
    return pixels;
}

} // namespace mendova::test
