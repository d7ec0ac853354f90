// The real modal boxes: the about box, the core's error box, the top-level
// error box, the save question and the Save dialog, driven from inside their
// own event loops.
#include "app/startup.h"
#include "core/appstrings.h"
#include "gui/application.h"
#include "gui/errorbox.h"
#include "gui/modals.h"
#include "support/fakedialogs.h"
#include "support/modaldriver.h"
#include "windows/about.h"
#include "windows/editor.h"
#include "windows/globals.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>
#include <stdexcept>

namespace {

struct TBoxSeen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    Qt::WindowModality modality = Qt::NonModal;
};

// Records the message box that shows next and closes it with `key`.
std::function<void(QWidget*)> RecordBox(TBoxSeen* seen, Qt::Key key) {
    return [seen, key](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box) return;
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->icon = box->icon();
        seen->buttons = box->standardButtons();
        if (box->defaultButton()) seen->defaultButton = box->standardButton(box->defaultButton());
        seen->modality = box->windowModality();
        QTest::keyClick(box, key);
    };
}

} // namespace

class TBoxesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void aboutShowsNameIconAndClosesByEveryButton_data();
    void aboutShowsNameIconAndClosesByEveryButton();
    void coreErrorBoxShowsTheMessageUnchanged();
    void topLevelBoxAddsAFullStopAndTheProgramGoesOn();
    void fullStopRule_data();
    void fullStopRule();
    void saveQuestionBox_data();
    void saveQuestionBox();
    void filterTextsStayAndAllFilesMatchesEverything();
    void saveDialogAddsTheDefaultExtension();
    void saveDialogRefusesAMissingFolder();
    void fileDialogsLeaveNoSettingsBehind();

private:
    std::unique_ptr<TWindows> windows_;
    QTemporaryDir configHome_; // stands in for the user's configuration folder
};

void TBoxesTest::initTestCase() {
    QVERIFY(configHome_.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome_.path()));
    SetupApplication(*qobject_cast<QApplication*>(QCoreApplication::instance()));
}

void TBoxesTest::init() {
    SetAppTitle(QStringLiteral("Corvane"));
    windows_ = std::make_unique<TWindows>();
    fMain->show();
    fMain->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(fMain));
    fMain->oText->setFocus();
}

void TBoxesTest::cleanup() {
    if (fMain) fMain->oText->document()->setModified(false);
    windows_.reset();
}

void TBoxesTest::aboutShowsNameIconAndClosesByEveryButton_data() {
    QTest::addColumn<int>("way");
    QTest::newRow("Enter") << 0;
    QTest::newRow("Esc") << 1;
    QTest::newRow("Ok button") << 2;
    QTest::newRow("close box") << 3;
}

void TBoxesTest::aboutShowsNameIconAndClosesByEveryButton() {
    QFETCH(int, way);
    fMain->oText->setPlainText(QStringLiteral("text"));
    QString title, name;
    qreal nameScale = 0;
    bool hasIcon = false;
    QSize size;
    TModalDriver driver;
    driver.Then(TModalDriver::Any, [&](QWidget* modal) {
        auto* about = qobject_cast<TfAbout*>(modal);
        if (!about) return;
        title = about->windowTitle();
        name = about->oAppName->text();
        nameScale = about->oAppName->font().pointSizeF() / about->font().pointSizeF();
        hasIcon = !about->oImage->pixmap().isNull();
        size = about->size();
        switch (way) {
        case 0: QTest::keyClick(about, Qt::Key_Return); break;
        case 1: QTest::keyClick(about, Qt::Key_Escape); break;
        case 2: QTest::mouseClick(about->bOk, Qt::LeftButton); break;
        default: about->close(); break;
        }
    });
    QTest::keyClick(fMain->oText, Qt::Key_F1);
    QVERIFY(driver.Done());
    QVERIFY(!fAbout->isVisible());
    QCOMPARE(title, QStringLiteral("Corvane 1.4.beta"));
    QCOMPARE(name, QStringLiteral("Corvane 1.4.beta"));
    QVERIFY2(qAbs(nameScale - 19.0 / 11.0) < 0.01, qPrintable(QString::number(nameScale)));
    QVERIFY(hasIcon);
    QCOMPARE(size, QSize(365, 173));
    // The last text line ends clear of the Ok button, which stands just
    // below the line's height: the button must not sit under its end.
    const QLabel* last = fAbout->oPurpose;
    QVERIFY(last->x() + last->fontMetrics().horizontalAdvance(last->text()) < fAbout->bOk->x() - 8);
    QCOMPARE(fMain->EditorText(), QStringLiteral("text"));
    QVERIFY(fMain->isVisible());
}

void TBoxesTest::coreErrorBoxShowsTheMessageUnchanged() {
    fMain->File = {QStringLiteral("saved.cv"), QStringLiteral("/tmp")};
    fMain->UpdateCaption();
    TBoxSeen seen;
    TModalDriver seenDriver;
    seenDriver.Then(TModalDriver::Any, RecordBox(&seen, Qt::Key_Return));
    ShowError(corvane::sDivisionByZero);
    QCOMPARE(seen.text, QStringLiteral("Division by zero ..."));
    QCOMPARE(seen.title, QStringLiteral("Corvane 1.4.beta"));
    QCOMPARE(seen.icon, QMessageBox::Critical);
    QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(seen.modality, Qt::ApplicationModal);
    TBoxSeen again;
    TModalDriver againDriver;
    againDriver.Then(TModalDriver::Any, RecordBox(&again, Qt::Key_Escape));
    ShowError(QStringLiteral("No full stop added"));
    QCOMPARE(again.text, QStringLiteral("No full stop added"));
}

void TBoxesTest::topLevelBoxAddsAFullStopAndTheProgramGoesOn() {
    TBoxSeen seen;
    TModalDriver seenDriver;
    seenDriver.Then(TModalDriver::Any, RecordBox(&seen, Qt::Key_Return));
    RunGuarded([] { throw std::runtime_error("Cannot open file /x/y.cv"); });
    QVERIFY(seenDriver.Done());
    QCOMPARE(seen.text, QStringLiteral("Cannot open file /x/y.cv."));
    QCOMPARE(seen.title, QStringLiteral("Untitled - Corvane 1.4.beta"));
    QCOMPARE(seen.icon, QMessageBox::Critical);
    QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(fMain->isVisible());
}

void TBoxesTest::fullStopRule_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "Stream write error"
                            << "Stream write error.";
    QTest::newRow("ellipsis") << "Parsing program ..."
                              << "Parsing program ...";
    QTest::newRow("exclamation sorts before") << "Oops!"
                                              << "Oops!";
    QTest::newRow("slash sorts after") << "Cannot create file /tmp/"
                                       << "Cannot create file /tmp/.";
    QTest::newRow("digit") << "Line: 7"
                           << "Line: 7.";
    QTest::newRow("empty") << ""
                           << "";
}

void TBoxesTest::fullStopRule() {
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(WithFullStop(message), shown);
}

void TBoxesTest::saveQuestionBox_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("answer");
    QTest::newRow("Enter is Yes") << int(Qt::Key_Return) << int(TDialogs::TAnswer::Yes);
    QTest::newRow("N is No") << int(Qt::Key_N) << int(TDialogs::TAnswer::No);
    QTest::newRow("Esc is Cancel") << int(Qt::Key_Escape) << int(TDialogs::TAnswer::Cancel);
}

void TBoxesTest::saveQuestionBox() {
    QFETCH(int, key);
    QFETCH(int, answer);
    TBoxSeen seen;
    TModalDriver seenDriver;
    seenDriver.Then(TModalDriver::Any, RecordBox(&seen, Qt::Key(key)));
    TQtDialogs qt;
    const auto got = qt.Ask(fMain, QStringLiteral("Corvane 1.4.beta"),
                            QStringLiteral("Save changes to Untitled?"));
    QCOMPARE(int(got), answer);
    QCOMPARE(seen.icon, QMessageBox::Question);
    QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(seen.defaultButton, QMessageBox::Yes);
    QCOMPARE(seen.text, QStringLiteral("Save changes to Untitled?"));
}

void TBoxesTest::filterTextsStayAndAllFilesMatchesEverything() {
    QCOMPARE(NameFilters(QString::fromUtf8(corvane::Str(corvane::sFileFilter))),
             QStringList({"Corvane files (*.cv) (*.cv)", "All files (*.*) (*)"}));
    QCOMPARE(NameFilters(QStringLiteral("Text|*.txt;*.cv|Odd")), QStringList{"Text (*.txt *.cv)"});
}

void TBoxesTest::saveDialogAddsTheDefaultExtension() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QStringList filters;
    QString proposed;
    TModalDriver driver;
    driver.Then(TModalDriver::Any, [&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog) return;
        filters = dialog->nameFilters();
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!name) {
            dialog->reject();
            return;
        }
        proposed = name->text();
        // As a user would: type a full path without an extension, then Enter.
        name->setText(QDir(dir.path()).filePath(QStringLiteral("prog")));
        static_cast<QDialog*>(dialog)->accept();
    });
    TQtDialogs qt;
    const QString chosen =
        qt.SaveFileName(fMain, QString::fromUtf8(corvane::Str(corvane::sFileFilter)),
                        QStringLiteral("Untitled"), QStringLiteral("cv"));
    QVERIFY(driver.Done());
    QCOMPARE(proposed, QStringLiteral("Untitled"));
    QCOMPARE(filters.size(), 2);
    QCOMPARE(QFileInfo(chosen).fileName(), QStringLiteral("prog.cv"));
    QCOMPARE(QFileInfo(chosen).absolutePath(), QFileInfo(dir.path()).absoluteFilePath());
}

// A name in a folder that does not exist is refused in the dialog, which
// stays open; a proposed path starts the dialog in its folder.
void TBoxesTest::saveDialogRefusesAMissingFolder() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    TFakeDialogs boxes; // the refusal's box
    QString startFolder, proposed;
    bool openAfterRefusal = false;
    TModalDriver driver;
    driver.Then(TModalDriver::Any, [&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        auto* name =
            dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
        if (!name) {
            if (dialog) dialog->reject();
            return;
        }
        startFolder = dialog->directory().absolutePath();
        proposed = name->text();
        name->setText(QDir(dir.path()).filePath(QStringLiteral("missing/x.cv")));
        static_cast<QDialog*>(dialog)->accept();
        openAfterRefusal = dialog->isVisible();
        name->setText(QDir(dir.path()).filePath(QStringLiteral("x")));
        static_cast<QDialog*>(dialog)->accept();
    });
    const QString chosen = TQtDialogs().SaveFileName(
        fMain, QString::fromUtf8(corvane::Str(corvane::sFileFilter)),
        QDir(dir.path()).filePath(QStringLiteral("prog.cv")), QStringLiteral("cv"));
    QVERIFY(driver.Done());
    QCOMPARE(startFolder, QFileInfo(dir.path()).absoluteFilePath());
    QCOMPARE(proposed, QStringLiteral("prog.cv"));
    QVERIFY(openAfterRefusal);
    QCOMPARE(boxes.errors.size(), 1);
    QVERIFY(boxes.errors.constFirst().contains(QStringLiteral("missing")));
    QCOMPARE(chosen, QDir(dir.path()).filePath(QStringLiteral("x.cv")));
}

// Qt's file dialogs store their history and last folder as settings; the
// program keeps none, so nothing may land in the user's configuration folder.
void TBoxesTest::fileDialogsLeaveNoSettingsBehind() {
    const auto cancel = [](QWidget* modal) {
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) dialog->reject();
    };
    const QString filter = QString::fromUtf8(corvane::Str(corvane::sFileFilter));
    TQtDialogs qt;
    {
        TModalDriver driver;
        driver.Then(TModalDriver::Any, cancel);
        QVERIFY(qt.OpenFileName(fMain, filter, QString()).isEmpty());
        QVERIFY(driver.Done());
    }
    {
        TModalDriver driver;
        driver.Then(TModalDriver::Any, cancel);
        QVERIFY(qt.SaveFileName(fMain, filter, QStringLiteral("Untitled"), QStringLiteral("cv"))
                    .isEmpty());
        QVERIFY(driver.Done());
    }
    QVERIFY(
        QDir(configHome_.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

QTEST_MAIN(TBoxesTest)
#include "boxes_test.moc"
