// Typing into the input field: the picture loads once typing pauses, when
// the field is left or on Enter, never at every keystroke.
#include "GuiTestSupport.h"
#include "TestMain.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>

class TestTyping : public QObject {
    Q_OBJECT

private slots:
    void init() { EngineRecorder::reset(); }
    void typingLoadsOnceAfterPause();
    void leavingEnterOrChooserLoadAtOnce();
};

void TestTyping::typingLoadsOnceAfterPause()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    // Every prefix ending in ".png" names a picture of its own, so a load
    // per keystroke would load three times.
    const QString path = env.path("a.png.png.png");
    writePicture(env.path("a.png"), patternPicture(8, 8), "PNG");
    writePicture(env.path("a.png.png"), patternPicture(9, 9), "PNG");
    writePicture(path, patternPicture(480, 256), "PNG");
    QSignalSpy loaded(form.get(), &TPixwrightForm::InputPictureChanged);
    form->OpenFileEdit->setFocus();
    QTest::keyClicks(form->OpenFileEdit, path);
    QCOMPARE(form->OpenFileEdit->text(), path);
    QCOMPARE(loaded.size(), 0);
    QVERIFY(form->OpenFileSettleTimer->isActive());
    QCOMPARE(form->OpenFileSettleTimer->interval(), 300);
    QVERIFY(loaded.wait(5000));
    // Nothing further arrives once it has loaded.
    QTest::qWait(400);
    QCOMPARE(loaded.size(), 1);
    QCOMPARE(form->LoadedPicture().size(), QSize(480, 256));
    QVERIFY(form->TilesetRadioButton->isChecked() && form->HelpMemo->isHidden());
}

void TestTyping::leavingEnterOrChooserLoadAtOnce()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    QSignalSpy loaded(form.get(), &TPixwrightForm::InputPictureChanged);
    form->OpenFileEdit->setText(writePicture(env.path("one.png"), patternPicture(288, 256), "PNG"));
    QCOMPARE(loaded.size(), 0);
    leaveField(form->OpenFileEdit);
    QVERIFY(loaded.size() == 1 && form->CharsetRadioButton->isChecked());
    // Leaving again with nothing typed loads nothing.
    leaveField(form->OpenFileEdit);
    QCOMPARE(loaded.size(), 1);
    form->OpenFileEdit->setText(writePicture(env.path("two.png"), patternPicture(480, 256), "PNG"));
    QTest::keyClick(form->OpenFileEdit, Qt::Key_Return);
    QVERIFY(loaded.size() == 2 && form->TilesetRadioButton->isChecked());
    host.openFileAnswer = env.path("one.png");
    form->OpenFileButton->click();
    QVERIFY(loaded.size() == 3 && form->CharsetRadioButton->isChecked());

    // Text that names no picture file shows the help at once, a folder too.
    QTest::keyClick(form->OpenFileEdit, Qt::Key_Backspace);
    QVERIFY(!form->HelpMemo->isHidden() && form->LoadedPicture().isNull());
    form->OpenFileEdit->setText(env.programFolder());
    QVERIFY(!form->HelpMemo->isHidden() && !form->OpenFileSettleTimer->isActive());
    QCOMPARE(loaded.size(), 4);
    QVERIFY(host.messages.empty());
}

PIXWRIGHT_GUI_TEST(TestTyping);
#include "tst_Typing.moc"
