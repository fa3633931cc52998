// The binding helper: a function is bound by file name and exact exported name at its first call.
#pragma once

#include <QObject>

namespace mendova::test {

class BindingTest : public QObject
{
    Q_OBJECT

  private slots:
    void bindsAtTheFirstCallAndNotBefore();
    void missingFileIsNamed();
    // Exact names only: neither a name that is not exported nor the decorated Windows form of
    // one that is.
    void missingEntryPointIsNamed_data();
    void missingEntryPointIsNamed();
    // The graphics functions bound by name are those the program is linked with: one stand-in,
    // one table of objects.
    void graphicsFunctionsAreTheLinkedOnes();
};

} // namespace mendova::test
