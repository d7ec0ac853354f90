// New, Open, Save, Save As, Exit and the save question; files read and
// written byte for byte; read and write failures shown while the document
// stays as it was.
#include "app/startup.h"
#include "core/text_codec.h"
#include "gui/application.h"
#include "support/fakedialogs.h"
#include "windows/editor.h"
#include "windows/globals.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

#include <memory>

#include <unistd.h>

using TAnswer = TDialogs::TAnswer;

namespace {

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "<unreadable>";
    return file.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TFileCommandsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void unmodifiedTextAsksNothing();
    void cancelAbandonsNewOpenAndExit();
    void noDropsTheText();
    void noThenCancelledOpenKeepsTheEditedText();
    void yesSavesAStoredDocumentAndGoesOn();
    void yesWithCancelledSaveDialogKeepsTheText_data();
    void yesWithCancelledSaveDialogKeepsTheText();
    void yesWithNamedSaveGoesOn();
    void questionNamesTheFileWithoutItsDirectory();
    void saveOfNewDocumentAsksForANameAndUpdatesCaption();
    void plainSaveWritesWithoutDialogEvenUnmodified();
    void saveAsMovesTheDocument();
    void openSetsNameDirCaptionAndClearsMod();
    void captionShowsANameWithBracketedStar();
    void roundTrips_data();
    void roundTrips();
    void windows1250BytesShowAsTheirLetters();
    void windows1250DocumentGainingForeignLetterIsSavedAsUtf8();
    void unreadableFileLeavesTheDocument();
    void unwritableTargetLeavesTheDocument_data();
    void unwritableTargetLeavesTheDocument();
    void failedSaveFromTheQuestionAbandonsTheCommand();
    void saveKeepsLinksAndPermissions();
    void readOnlyTargetIsRefused();
    void writableFileInLockedFolderIsSavedInPlace();

private:
    QString Path(const QString& name) const { return QDir(dir_->path()).filePath(name); }
    void Edit(const QString& text) {
        fMain->oText->moveCursor(QTextCursor::End);
        fMain->oText->insertPlainText(text);
    }
    void OpenFile(TFakeDialogs& dialogs, const QString& path) {
        dialogs.openPaths = {path};
        fMain->mOpen->trigger();
    }

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<TWindows> windows_;
};

void TFileCommandsTest::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    windows_ = std::make_unique<TWindows>();
    fMain->show();
}

void TFileCommandsTest::cleanup() {
    if (fMain) fMain->oText->document()->setModified(false);
    windows_.reset();
    dir_.reset();
}

void TFileCommandsTest::unmodifiedTextAsksNothing() {
    TFakeDialogs dialogs;
    WriteBytes(Path("a.cv"), "x");
    OpenFile(dialogs, Path("a.cv"));
    fMain->mNew->trigger();
    OpenFile(dialogs, Path("a.cv"));
    QVERIFY(dialogs.questions.isEmpty());
    QCOMPARE(dialogs.openDialogs, 2);
}

void TFileCommandsTest::cancelAbandonsNewOpenAndExit() {
    TFakeDialogs dialogs;
    Edit(QStringLiteral("kept"));
    for (QAction* command : {fMain->mNew, fMain->mOpen, fMain->mExit}) {
        dialogs.answers = {TAnswer::Cancel};
        command->trigger();
        QCOMPARE(fMain->EditorText(), QStringLiteral("kept"));
        QVERIFY(fMain->Modified());
        QCOMPARE(fMain->PanelText(0), QStringLiteral("Mod"));
        QCOMPARE(fMain->Caption(), QStringLiteral("Untitled - Corvane 1.4.beta"));
        QVERIFY(fMain->isVisible());
    }
    QCOMPARE(dialogs.questions.size(), 3);
    // The question comes before the Open dialog, which a Cancel never reaches.
    QCOMPARE(dialogs.openDialogs, 0);
    QCOMPARE(dialogs.saveDialogs, 0);
}

void TFileCommandsTest::noDropsTheText() {
    TFakeDialogs dialogs;
    Edit(QStringLiteral("dropped"));
    dialogs.answers = {TAnswer::No};
    fMain->mNew->trigger();
    QVERIFY(fMain->EditorText().isEmpty());
    QVERIFY(!fMain->Modified());
    QVERIFY(fMain->PanelText(0).isEmpty());

    WriteBytes(Path("b.cv"), "from file");
    Edit(QStringLiteral("dropped again"));
    dialogs.answers = {TAnswer::No};
    OpenFile(dialogs, Path("b.cv"));
    QCOMPARE(fMain->EditorText(), QStringLiteral("from file"));

    Edit(QStringLiteral("!"));
    dialogs.answers = {TAnswer::No};
    fMain->mExit->trigger();
    QVERIFY(!fMain->isVisible());
    QCOMPARE(ReadBytes(Path("b.cv")), QByteArray("from file"));
    QCOMPARE(dialogs.saveDialogs, 0);
}

void TFileCommandsTest::noThenCancelledOpenKeepsTheEditedText() {
    TFakeDialogs dialogs;
    Edit(QStringLiteral("edited"));
    dialogs.answers = {TAnswer::No};
    fMain->mOpen->trigger(); // the Open dialog is cancelled
    QCOMPARE(dialogs.openDialogs, 1);
    QCOMPARE(fMain->EditorText(), QStringLiteral("edited"));
    QCOMPARE(fMain->PanelText(0), QStringLiteral("Mod"));
}

void TFileCommandsTest::yesSavesAStoredDocumentAndGoesOn() {
    TFakeDialogs dialogs;
    WriteBytes(Path("c.cv"), "old");
    OpenFile(dialogs, Path("c.cv"));
    Edit(QStringLiteral(" new"));
    dialogs.answers = {TAnswer::Yes};
    fMain->mNew->trigger();
    QCOMPARE(ReadBytes(Path("c.cv")), QByteArray("old new"));
    QCOMPARE(dialogs.saveDialogs, 0);
    QVERIFY(fMain->EditorText().isEmpty());
    QCOMPARE(fMain->Caption(), QStringLiteral("Untitled - Corvane 1.4.beta"));
}

void TFileCommandsTest::yesWithCancelledSaveDialogKeepsTheText_data() {
    QTest::addColumn<QString>("command");
    QTest::newRow("New") << QStringLiteral("mNew");
    QTest::newRow("Open") << QStringLiteral("mOpen");
    QTest::newRow("Exit") << QStringLiteral("mExit");
}

// Yes, then a cancelled Save dialog: the command that asked is abandoned, so
// the text that was never saved is not lost.
void TFileCommandsTest::yesWithCancelledSaveDialogKeepsTheText() {
    QFETCH(QString, command);
    TFakeDialogs dialogs;
    WriteBytes(Path("d.cv"), "other");
    Edit(QStringLiteral("unsaved"));
    dialogs.answers = {TAnswer::Yes};
    dialogs.openPaths = {Path("d.cv")};
    fMain->findChild<QAction*>(command)->trigger();
    QCOMPARE(dialogs.saveDialogs, 1);
    QCOMPARE(dialogs.lastProposed, QStringLiteral("Untitled"));
    QCOMPARE(dialogs.openDialogs, 0);
    QCOMPARE(fMain->EditorText(), QStringLiteral("unsaved"));
    QCOMPARE(fMain->PanelText(0), QStringLiteral("Mod"));
    QVERIFY(fMain->isVisible());
}

void TFileCommandsTest::yesWithNamedSaveGoesOn() {
    TFakeDialogs dialogs;
    Edit(QStringLiteral("keep me"));
    dialogs.answers = {TAnswer::Yes};
    dialogs.savePaths = {Path("e.cv")};
    fMain->mExit->trigger();
    QCOMPARE(ReadBytes(Path("e.cv")), QByteArray("keep me"));
    QVERIFY(!fMain->isVisible());
}

void TFileCommandsTest::questionNamesTheFileWithoutItsDirectory() {
    TFakeDialogs dialogs;
    WriteBytes(Path("prog.cv"), "x");
    OpenFile(dialogs, Path("prog.cv"));
    Edit(QStringLiteral("y"));
    dialogs.answers = {TAnswer::Cancel};
    fMain->mNew->trigger();
    QCOMPARE(dialogs.questions, QStringList{QStringLiteral("Save changes to prog.cv?")});
}

void TFileCommandsTest::saveOfNewDocumentAsksForANameAndUpdatesCaption() {
    TFakeDialogs dialogs;
    Edit(QStringLiteral("PUSH"));
    dialogs.savePaths = {Path("first.cv")};
    fMain->mSave->trigger();
    QCOMPARE(dialogs.saveDialogs, 1);
    QCOMPARE(dialogs.lastProposed, QStringLiteral("Untitled"));
    QCOMPARE(dialogs.lastDefaultExt, QStringLiteral("cv"));
    QCOMPARE(dialogs.lastFilter, QStringLiteral("Corvane files (*.cv)|*.cv|All files (*.*)|*.*"));
    QCOMPARE(ReadBytes(Path("first.cv")), QByteArray("PUSH"));
    QCOMPARE(fMain->Caption(), QStringLiteral("first.cv - Corvane 1.4.beta"));
    QCOMPARE(AppTitle(), fMain->Caption());
    QCOMPARE(fMain->File.Name, QStringLiteral("first.cv"));
    QCOMPARE(fMain->File.Dir, QFileInfo(dir_->path()).absoluteFilePath());
    QVERIFY(!fMain->Modified());
    QVERIFY(fMain->PanelText(0).isEmpty());
}

void TFileCommandsTest::plainSaveWritesWithoutDialogEvenUnmodified() {
    TFakeDialogs dialogs;
    WriteBytes(Path("f.cv"), "text");
    OpenFile(dialogs, Path("f.cv"));
    QFile::remove(Path("f.cv"));
    fMain->mSave->trigger();
    QCOMPARE(dialogs.saveDialogs, 0);
    QCOMPARE(ReadBytes(Path("f.cv")), QByteArray("text"));
}

void TFileCommandsTest::saveAsMovesTheDocument() {
    TFakeDialogs dialogs;
    WriteBytes(Path("old.cv"), "v1");
    OpenFile(dialogs, Path("old.cv"));
    Edit(QStringLiteral(" v2"));
    dialogs.savePaths = {Path("new.cv")};
    fMain->mSaveAs->trigger();
    QCOMPARE(dialogs.lastProposed, QStringLiteral("old.cv"));
    QCOMPARE(ReadBytes(Path("old.cv")), QByteArray("v1"));
    QCOMPARE(ReadBytes(Path("new.cv")), QByteArray("v1 v2"));
    QCOMPARE(fMain->Caption(), QStringLiteral("new.cv - Corvane 1.4.beta"));
    Edit(QStringLiteral(" v3"));
    fMain->mSave->trigger();
    QCOMPARE(ReadBytes(Path("new.cv")), QByteArray("v1 v2 v3"));
    QCOMPARE(ReadBytes(Path("old.cv")), QByteArray("v1"));
}

void TFileCommandsTest::openSetsNameDirCaptionAndClearsMod() {
    TFakeDialogs dialogs;
    QDir(dir_->path()).mkdir(QStringLiteral("sub"));
    WriteBytes(Path("sub/g.cv"), "a\r\nb");
    Edit(QStringLiteral("x"));
    dialogs.answers = {TAnswer::No};
    OpenFile(dialogs, Path("sub/../sub/g.cv"));
    QCOMPARE(fMain->File.Name, QStringLiteral("g.cv"));
    QCOMPARE(fMain->File.Dir, QFileInfo(Path("sub")).absoluteFilePath());
    QCOMPARE(fMain->Caption(), QStringLiteral("g.cv - Corvane 1.4.beta"));
    QCOMPARE(fMain->LineCount(), 2);
    QVERIFY(!fMain->Modified());
    QVERIFY(fMain->PanelText(0).isEmpty());
    // The Open dialog offers the file last chosen in it.
    fMain->mOpen->trigger();
    QCOMPARE(dialogs.lastOpenPreset, Path("sub/../sub/g.cv"));
}

// Qt reads "[*]" in a window title as the modified marker's place; a file
// name holding it must still show in full, here and where the caption goes.
void TFileCommandsTest::captionShowsANameWithBracketedStar() {
    TFakeDialogs dialogs;
    Edit(QStringLiteral("x"));
    dialogs.savePaths = {Path("a[*]b.cv")};
    fMain->mSave->trigger();
    QCOMPARE(fMain->File.Name, QStringLiteral("a[*]b.cv"));
    QCOMPARE(fMain->windowHandle()->title(), QStringLiteral("a[*]b.cv - Corvane 1.4.beta"));
    QWidget other;
    other.setWindowTitle(fMain->Caption() + QStringLiteral(" - [run]"));
    other.show();
    QCOMPARE(other.windowHandle()->title(), QStringLiteral("a[*]b.cv - Corvane 1.4.beta - [run]"));
    Edit(QStringLiteral("y"));
    dialogs.answers = {TAnswer::Cancel};
    fMain->mNew->trigger();
    QCOMPARE(dialogs.questions, QStringList{QStringLiteral("Save changes to a[*]b.cv?")});
}

void TFileCommandsTest::roundTrips_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("shown");    // the editor text, CR LF breaks
    QTest::addColumn<QByteArray>("saved"); // what a Save writes back
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringLiteral("a\r\nb\r\n")
                           << QByteArray("a\r\nb\r\n");
    QTest::newRow("lone LF") << QByteArray("a\nb\n\nc") << QStringLiteral("a\r\nb\r\n\r\nc")
                             << QByteArray("a\r\nb\r\n\r\nc");
    QTest::newRow("lone CR") << QByteArray("a\rb\r") << QStringLiteral("a\r\nb\r\n")
                             << QByteArray("a\r\nb\r\n");
    QTest::newRow("mixed") << QByteArray("a\r\n\rb\n\r\nc") << QStringLiteral("a\r\n\r\nb\r\n\r\nc")
                           << QByteArray("a\r\n\r\nb\r\n\r\nc");
    QTest::newRow("no final break")
        << QByteArray("x\r\ny") << QStringLiteral("x\r\ny") << QByteArray("x\r\ny");
    QTest::newRow("byte-order mark")
        << QByteArray("\xEF\xBB\xBFGOTO a\r\n") << QStringLiteral("GOTO a\r\n")
        << QByteArray("\xEF\xBB\xBFGOTO a\r\n");
    QTest::newRow("UTF-8")
        << QByteArray("// \xC5\xA1\xC4\x8D\xC5\x99 \xE2\x82\xAC \xF0\x9F\x98\x80\r\n")
        << QString::fromUtf8("// ščř € 😀\r\n")
        << QByteArray("// \xC5\xA1\xC4\x8D\xC5\x99 \xE2\x82\xAC \xF0\x9F\x98\x80\r\n");
    QByteArray high;
    for (int b = 0x80; b <= 0xFF; ++b) {
        high += char(b);
        if (b % 16 == 15) high += "\r\n";
    }
    QString highText;
    for (char c : high)
        highText += QChar(corvane::Windows1250ToUnicode(static_cast<unsigned char>(c)));
    QTest::newRow("every byte 0x80-0xFF") << high << highText << high;
    QByteArray controls;
    for (int b = 0; b < 0x20; ++b)
        if (b != '\r' && b != '\n') controls += char(b);
    QTest::newRow("control characters") << controls << QString::fromLatin1(controls) << controls;
    QTest::newRow("empty") << QByteArray() << QString() << QByteArray();
}

// Open shows the file with CR LF breaks; an unchanged Save writes what the
// editor shows, in the encoding it was read in.
void TFileCommandsTest::roundTrips() {
    QFETCH(QByteArray, file);
    QFETCH(QString, shown);
    QFETCH(QByteArray, saved);
    TFakeDialogs dialogs;
    WriteBytes(Path("r.cv"), file);
    OpenFile(dialogs, Path("r.cv"));
    QVERIFY(dialogs.errors.isEmpty());
    QCOMPARE(fMain->EditorText(), shown);
    fMain->mSave->trigger();
    QCOMPARE(ReadBytes(Path("r.cv")), saved);
    // Save As to another file writes the same bytes.
    dialogs.savePaths = {Path("r2.cv")};
    fMain->mSaveAs->trigger();
    QCOMPARE(ReadBytes(Path("r2.cv")), saved);
}

void TFileCommandsTest::windows1250BytesShowAsTheirLetters() {
    TFakeDialogs dialogs;
    WriteBytes(Path("cz.cv"), "\x8A\xE8\xF8\x9E \xB9\xEA\xB3 \x80");
    OpenFile(dialogs, Path("cz.cv"));
    QCOMPARE(fMain->EditorText(), QString::fromUtf8("Ščřž ąęł €"));
    QCOMPARE(fMain->Encoding(), corvane::TEncoding::Windows1250);
}

void TFileCommandsTest::windows1250DocumentGainingForeignLetterIsSavedAsUtf8() {
    TFakeDialogs dialogs;
    WriteBytes(Path("w.cv"), "\xE8");
    OpenFile(dialogs, Path("w.cv"));
    Edit(QString::fromUtf8("ř"));
    fMain->mSave->trigger();
    QCOMPARE(ReadBytes(Path("w.cv")), QByteArray("\xE8\xF8"));
    Edit(QString::fromUtf8("ж"));
    fMain->mSave->trigger();
    QCOMPARE(ReadBytes(Path("w.cv")), QByteArray("\xC4\x8D\xC5\x99\xD0\xB6"));
    QCOMPARE(fMain->Encoding(), corvane::TEncoding::Utf8);
}

void TFileCommandsTest::unreadableFileLeavesTheDocument() {
    TFakeDialogs dialogs;
    WriteBytes(Path("h.cv"), "mine");
    OpenFile(dialogs, Path("h.cv"));
    Edit(QStringLiteral("+"));
    QDir(dir_->path()).mkdir(QStringLiteral("folder.cv"));
    for (const QString& bad : {Path("folder.cv"), Path("missing.cv")}) {
        dialogs.answers = {TAnswer::No};
        OpenFile(dialogs, bad);
        QCOMPARE(dialogs.errors.last(), QStringLiteral("Cannot open file %1.").arg(bad));
        QCOMPARE(dialogs.errorTitles.last(), QStringLiteral("h.cv - Corvane 1.4.beta"));
        QCOMPARE(fMain->EditorText(), QStringLiteral("mine+"));
        QCOMPARE(fMain->Caption(), QStringLiteral("h.cv - Corvane 1.4.beta"));
        QCOMPARE(fMain->File.Name, QStringLiteral("h.cv"));
        QCOMPARE(fMain->PanelText(0), QStringLiteral("Mod"));
    }
    QCOMPARE(dialogs.errors.size(), 2);
}

void TFileCommandsTest::unwritableTargetLeavesTheDocument_data() {
    QTest::addColumn<QString>("target");
    QTest::newRow("folder missing") << QStringLiteral("nowhere/x.cv");
    QTest::newRow("a folder") << QStringLiteral("folder.cv");
}

void TFileCommandsTest::unwritableTargetLeavesTheDocument() {
    QFETCH(QString, target);
    TFakeDialogs dialogs;
    QDir(dir_->path()).mkdir(QStringLiteral("folder.cv"));
    WriteBytes(Path("i.cv"), "orig");
    OpenFile(dialogs, Path("i.cv"));
    Edit(QStringLiteral("!"));
    dialogs.savePaths = {Path(target)};
    fMain->mSaveAs->trigger();
    QCOMPARE(dialogs.errors,
             QStringList{QStringLiteral("Cannot create file %1.").arg(Path(target))});
    QCOMPARE(fMain->Caption(), QStringLiteral("i.cv - Corvane 1.4.beta"));
    QCOMPARE(fMain->File.Dir, QFileInfo(dir_->path()).absoluteFilePath());
    QCOMPARE(fMain->PanelText(0), QStringLiteral("Mod"));
    QVERIFY(fMain->Modified());
    QCOMPARE(ReadBytes(Path("i.cv")), QByteArray("orig"));
    QVERIFY(QFileInfo(Path("folder.cv")).isDir());
}

void TFileCommandsTest::failedSaveFromTheQuestionAbandonsTheCommand() {
    TFakeDialogs dialogs;
    Edit(QStringLiteral("precious"));
    dialogs.answers = {TAnswer::Yes};
    dialogs.savePaths = {Path("nowhere/x.cv")};
    fMain->mExit->trigger();
    QCOMPARE(dialogs.errors.size(), 1);
    QVERIFY(fMain->isVisible());
    dialogs.answers = {TAnswer::Yes};
    dialogs.savePaths = {Path("nowhere/x.cv")};
    fMain->mNew->trigger();
    QCOMPARE(dialogs.errors.size(), 2);
    QCOMPARE(fMain->EditorText(), QStringLiteral("precious"));
    QCOMPARE(fMain->PanelText(0), QStringLiteral("Mod"));
}

// The save goes through a temporary file; the file that is replaced keeps
// its permissions, and a link keeps pointing at the file it names.
void TFileCommandsTest::saveKeepsLinksAndPermissions() {
    TFakeDialogs dialogs;
    WriteBytes(Path("target.cv"), "old");
    QVERIFY(QFile::setPermissions(Path("target.cv"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    QVERIFY(QFile::link(Path("target.cv"), Path("link.cv")));
    OpenFile(dialogs, Path("link.cv"));
    Edit(QStringLiteral(" new"));
    fMain->mSave->trigger();
    QVERIFY(dialogs.errors.isEmpty());
    QVERIFY(QFileInfo(Path("link.cv")).isSymLink());
    QCOMPARE(ReadBytes(Path("target.cv")), QByteArray("old new"));
    // Owner, group and others (the "user" bits depend on who runs the test).
    QCOMPARE(QFile::permissions(Path("target.cv")) & QFileDevice::Permissions(0x7077),
             QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    QCOMPARE(fMain->Caption(), QStringLiteral("link.cv - Corvane 1.4.beta"));
}

// A read-only file is not replaced, although the folder would allow a new
// file in its place.
void TFileCommandsTest::readOnlyTargetIsRefused() {
    if (::geteuid() == 0) QSKIP("root may write any file");
    TFakeDialogs dialogs;
    WriteBytes(Path("ro.cv"), "fixed");
    QVERIFY(QFile::setPermissions(Path("ro.cv"), QFile::ReadOwner | QFile::ReadUser));
    Edit(QStringLiteral("other"));
    dialogs.savePaths = {Path("ro.cv")};
    fMain->mSave->trigger();
    QCOMPARE(dialogs.errors,
             QStringList{QStringLiteral("Cannot create file %1.").arg(Path("ro.cv"))});
    QCOMPARE(ReadBytes(Path("ro.cv")), QByteArray("fixed"));
    QCOMPARE(fMain->Caption(), QStringLiteral("Untitled - Corvane 1.4.beta"));
}

// No temporary file may be made beside it: the file is written directly.
void TFileCommandsTest::writableFileInLockedFolderIsSavedInPlace() {
    if (::geteuid() == 0) QSKIP("root may create files in any folder");
    TFakeDialogs dialogs;
    QDir(dir_->path()).mkdir(QStringLiteral("locked"));
    WriteBytes(Path("locked/w.cv"), "before");
    OpenFile(dialogs, Path("locked/w.cv"));
    QVERIFY(QFile::setPermissions(Path("locked"), QFile::ReadOwner | QFile::ExeOwner |
                                                      QFile::ReadUser | QFile::ExeUser));
    Edit(QStringLiteral(" after"));
    fMain->mSave->trigger();
    QFile::setPermissions(Path("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                              QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    QVERIFY(dialogs.errors.isEmpty());
    QCOMPARE(ReadBytes(Path("locked/w.cv")), QByteArray("before after"));
    QVERIFY(!fMain->Modified());
}

QTEST_MAIN(TFileCommandsTest)
#include "filecommands_test.moc"
