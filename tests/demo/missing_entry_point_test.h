// The form with a libLorvaxen.so that answers the version query and lacks the barcode functions:
// the version shows, and a command names the missing entry point and lets go of what it made.
#pragma once

#include <QObject>

namespace mendova::test {

class MissingEntryPointTest : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase();
    void eachFunctionIsBoundOnItsOwn_data();
    void eachFunctionIsBoundOnItsOwn();
};

} // namespace mendova::test
