// Saves a picture of the form after a Code 39 run of "abc", for people to look at:
//
//   mendova-screenshot FILE.png
//
// Run it with QT_QPA_PLATFORM=offscreen where there is no display.
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>

#include <cstdio>

#include "form_driver.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mendova"));
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE.png\n", argv[0]);
        return 2;
    }
    const auto form = mendova::test::openForm();
    auto* text = form == nullptr ? nullptr : mendova::test::control<QLineEdit>(*form, "Text1");
    if (text == nullptr) {
        std::fprintf(stderr, "the form did not open\n");
        return 1;
    }
    text->setText(QStringLiteral("abc"));
    const auto messages = mendova::test::click(*form, "Command1");
    if (messages.size() != 1 || messages.front().title != QStringLiteral("結果")) {
        std::fprintf(stderr, "the run did not end with its result\n");
        return 1;
    }
    if (!form->grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
