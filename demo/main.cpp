// Mendova: the demonstration program of the barcode library, one form.
#include <QApplication>

#include "mendovae.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mendova"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    mendova::Mendovae form;
    form.show();
    return QApplication::exec();
}
