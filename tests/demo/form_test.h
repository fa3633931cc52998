// The Mendovae form driven as a person would drive it, with the real library bound at run time.
#pragma once

#include <QImage>
#include <QLineEdit>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTest>

#include <memory>

#include "form_driver.h"
#include "picture_box.h"

namespace mendova::test {

class FormTest : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void cleanup();

    void controlsHaveTheirKindCaptionAndPlace_data();
    void controlsHaveTheirKindCaptionAndPlace();
    void focusFollowsTheTabIndexes();
    void stateAfterStart();
    void emptyTextOnlyAsksForOne();
    void spacesOnlyReachTheLibrary();
    void code39Success();
    void checkFlagFollowsCheck1_data();
    void checkFlagFollowsCheck1();
    void failureKeepsTheLastSuccess_data();
    void failureKeepsTheLastSuccess();
    void dimensionThatIsNotANumber_data();
    void dimensionThatIsNotANumber();
    void numbersInTheUsersFormat();
    void command2DoesNothing();
    void pictureKeepsTheBarcodeWhenRepainted();
    void barcodeWiderThanThePictureIsCut();

  private: // NOLINT(readability-redundant-access-specifiers): the slots above are private too
    QLineEdit* box(const char* name) const { return control<QLineEdit>(*form_, name); }
    PictureBox* pictureBox() const { return control<PictureBox>(*form_, "Picture1"); }
    // Runs a Code 39 barcode of "abc" with the defaults, as a last success to compare against.
    void succeedOnce();
    QStringList outputs() const
    {
        return {box("Text5")->text(), box("Text6")->text(), box("Text7")->text(),
                box("Text8")->text()};
    }
    void verifyBlankPicture(const QImage& image) const
    {
        QVERIFY(allOf(image, pictureBox()->backColor()));
    }

    std::unique_ptr<Mendovae> form_;
    QList<SeenMessage> loadMessages_;
    int liveAtStart_ = 0;
};

} // namespace mendova::test
