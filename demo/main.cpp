// Mendova: the demonstration program of the barcode library, one form.
#include <QApplication>
#include <QIcon>

#include "mendovae.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mendova"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    // The menu entry and icon that the package installs (mendova.desktop, mendova.svg).
    QGuiApplication::setDesktopFileName(QStringLiteral("mendova"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("mendova")));
    mendova::Mendovae form;
    form.show();
    return QApplication::exec();
}
