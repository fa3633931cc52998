// The form when libLorvaxen.so cannot be found: it says so, and goes on without it.
#pragma once

#include <QObject>

namespace mendova::test {

class MissingLibraryTest : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase();
    void formLoadsWithoutTheLibrary();
    void generateSaysSoAndLetsGo();
};

} // namespace mendova::test
