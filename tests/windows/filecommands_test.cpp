// New, Open, Save, Save As, Exit and the save question; files read and
// written byte for byte; read and write failures shown while the document
// stays as it was.
#include "app/startup.h"
#include "core/text_codec.h"
#include "gui/application.h"
#include "support/fakedialogs.h"
#include "windows/editor.h"
#include "windows/filewrite.h"
#include "windows/globals.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

#include <memory>

#include <algorithm>
#include <cerrno>

#include <sys/stat.h>
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
    void abandonedCommandKeepsTheDocument_data();
    void abandonedCommandKeepsTheDocument();
    void noDropsTheText();
    void yesSavesAStoredDocumentAndGoesOn();
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
    void saveKeepsLinksAndPermissions();
    void readOnlyTargetIsRefused();
    void writableFileInLockedFolderIsSavedInPlace();
    void changedOnDiskAsksBeforeOverwriting();
    void fullDiskKeepsTheOldFile_data();
    void fullDiskKeepsTheOldFile();
    void writeFailingMidwayKeepsTheOldFile_data();
    void writeFailingMidwayKeepsTheOldFile();
    void strayTemporaryFileIsTakenUp();

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

    // Makes the temporary file beside `path` impossible (a folder in its
    // place), so the save has to rewrite the file in place, also as root.
    static void BlockTemporaryFile(const QString& path) {
        QVERIFY(QDir().mkpath(TemporaryFileFor(path) + QStringLiteral("/taken")));
    }
    // chattr for root, who passes permission bits; false where unsupported.
    static bool Chattr(const char* flag, const QString& path) {
        return QProcess::execute(QStringLiteral("chattr"), {QString::fromLatin1(flag), path}) == 0;
    }

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<TWindows> windows_;
    QString mounted_; // a small file system mounted by a test, unmounted in cleanup
};

void TFileCommandsTest::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    windows_ = std::make_unique<TWindows>();
    fMain->show();
}

void TFileCommandsTest::cleanup() {
    if (fMain) fMain->oText->document()->setModified(false);
    if (!mounted_.isEmpty()) QProcess::execute(QStringLiteral("umount"), {mounted_});
    mounted_.clear();
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

void TFileCommandsTest::abandonedCommandKeepsTheDocument_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("changedOnDisk"); // a stored document whose file changed
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QString>("savePath"); // "" cancels the Save dialog
    QTest::addColumn<int>("openDialogs");
    QTest::addColumn<int>("saveDialogs");
    QTest::addColumn<int>("errors");
    const int yes = int(TAnswer::Yes), no = int(TAnswer::No), cancel = int(TAnswer::Cancel);
    // The question comes before the Open dialog, which a Cancel never reaches.
    for (const char* command : {"mNew", "mOpen", "mExit"})
        QTest::addRow("Cancel to %s", command)
            << command << false << QList<int>{cancel} << "" << 0 << 0 << 0;
    QTest::newRow("No, then a cancelled Open")
        << "mOpen" << false << QList<int>{no} << "" << 1 << 0 << 0;
    // Yes, then a cancelled Save dialog: the text that was never saved stays.
    for (const char* command : {"mNew", "mOpen", "mExit"})
        QTest::addRow("Yes, then a cancelled Save, %s", command)
            << command << false << QList<int>{yes} << "" << 0 << 1 << 0;
    for (const char* command : {"mNew", "mExit"})
        QTest::addRow("Yes, then a failed Save, %s", command)
            << command << false << QList<int>{yes} << "nowhere/x.cv" << 0 << 1 << 1;
    // No to overwriting a changed file counts as a cancelled Save.
    QTest::newRow("Yes, then No to overwriting a changed file")
        << "mNew" << true << QList<int>{yes, no} << "" << 0 << 0 << 0;
}

void TFileCommandsTest::abandonedCommandKeepsTheDocument() {
    QFETCH(QString, command);
    QFETCH(bool, changedOnDisk);
    QFETCH(QList<int>, answers);
    QFETCH(QString, savePath);
    QFETCH(int, openDialogs);
    QFETCH(int, saveDialogs);
    QFETCH(int, errors);
    TFakeDialogs dialogs; // an Open dialog, if one comes, is cancelled
    if (changedOnDisk) {
        WriteBytes(Path("q.cv"), "one");
        OpenFile(dialogs, Path("q.cv"));
        dialogs.openDialogs = 0;
    }
    Edit(QStringLiteral(" kept"));
    if (changedOnDisk) WriteBytes(Path("q.cv"), "changed");
    const QString text = fMain->EditorText();
    const QString caption = fMain->Caption();
    for (const int answer : answers)
        dialogs.answers.push_back(TAnswer(answer));
    if (!savePath.isEmpty()) dialogs.savePaths = {Path(savePath)};

    fMain->findChild<QAction*>(command)->trigger();

    QVERIFY(dialogs.answers.empty()); // every question was asked
    QCOMPARE(dialogs.openDialogs, openDialogs);
    QCOMPARE(dialogs.saveDialogs, saveDialogs);
    if (saveDialogs > 0) QCOMPARE(dialogs.lastProposed, QStringLiteral("Untitled"));
    QCOMPARE(dialogs.errors.size(), errors);
    QCOMPARE(fMain->EditorText(), text);
    QVERIFY(fMain->Modified());
    QCOMPARE(fMain->PanelText(0), QStringLiteral("Mod"));
    QCOMPARE(fMain->Caption(), caption);
    QVERIFY(fMain->isVisible());
    if (changedOnDisk) QCOMPARE(ReadBytes(Path("q.cv")), QByteArray("changed"));
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
    // Save As starts in the document's folder.
    QCOMPARE(dialogs.lastProposed, QDir(fMain->File.Dir).filePath(QStringLiteral("old.cv")));
    QCOMPARE(QFileInfo(dialogs.lastProposed).absolutePath(),
             QFileInfo(dir_->path()).absoluteFilePath());
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
    QCOMPARE(fMain->RunSource().Lines.size(), 2);
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
    // A FIFO would block the open until a writer comes: it is refused first.
    QCOMPARE(::mkfifo(QFile::encodeName(Path("pipe.cv")).constData(), 0600), 0);
    for (const QString& bad : {Path("folder.cv"), Path("missing.cv"), Path("pipe.cv")}) {
        dialogs.answers = {TAnswer::No};
        OpenFile(dialogs, bad);
        QCOMPARE(dialogs.errors.last(), QStringLiteral("Cannot open file %1.").arg(bad));
        QCOMPARE(dialogs.errorTitles.last(), QStringLiteral("h.cv - Corvane 1.4.beta"));
        QCOMPARE(fMain->EditorText(), QStringLiteral("mine+"));
        QCOMPARE(fMain->Caption(), QStringLiteral("h.cv - Corvane 1.4.beta"));
        QCOMPARE(fMain->File.Name, QStringLiteral("h.cv"));
        QCOMPARE(fMain->PanelText(0), QStringLiteral("Mod"));
    }
    QCOMPARE(dialogs.errors.size(), 3);
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
    TFakeDialogs dialogs;
    WriteBytes(Path("ro.cv"), "fixed");
    QVERIFY(QFile::setPermissions(Path("ro.cv"), QFile::ReadOwner | QFile::ReadUser));
    // Root passes the permission bits, not an immutable file.
    if (::geteuid() == 0 && !Chattr("+i", Path("ro.cv"))) QSKIP("no chattr +i here");
    Edit(QStringLiteral("other"));
    dialogs.savePaths = {Path("ro.cv")};
    fMain->mSave->trigger();
    QCOMPARE(dialogs.errors,
             QStringList{QStringLiteral("Cannot create file %1.").arg(Path("ro.cv"))});
    if (::geteuid() == 0) Chattr("-i", Path("ro.cv"));
    QCOMPARE(ReadBytes(Path("ro.cv")), QByteArray("fixed"));
    QCOMPARE(fMain->Caption(), QStringLiteral("Untitled - Corvane 1.4.beta"));
}

// No temporary file may be made beside it: the file is written directly.
void TFileCommandsTest::writableFileInLockedFolderIsSavedInPlace() {
    TFakeDialogs dialogs;
    QDir(dir_->path()).mkdir(QStringLiteral("locked"));
    WriteBytes(Path("locked/w.cv"), "before");
    OpenFile(dialogs, Path("locked/w.cv"));
    QVERIFY(QFile::setPermissions(Path("locked"), QFile::ReadOwner | QFile::ExeOwner |
                                                      QFile::ReadUser | QFile::ExeUser));
    // Root passes the permission bits, not an immutable folder.
    if (::geteuid() == 0 && !Chattr("+i", Path("locked"))) QSKIP("no chattr +i here");
    Edit(QStringLiteral(" after"));
    fMain->mSave->trigger();
    if (::geteuid() == 0) Chattr("-i", Path("locked"));
    QFile::setPermissions(Path("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                              QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    QVERIFY(dialogs.errors.isEmpty());
    QCOMPARE(ReadBytes(Path("locked/w.cv")), QByteArray("before after"));
    QVERIFY(!fMain->Modified());
}

void TFileCommandsTest::changedOnDiskAsksBeforeOverwriting() {
    TFakeDialogs dialogs;
    const QString path = Path("k.cv");
    const QString question =
        QStringLiteral("The file %1 has been changed by another program. Overwrite it?")
            .arg(QFileInfo(path).absoluteFilePath());
    WriteBytes(path, "mine");
    OpenFile(dialogs, path);
    Edit(QStringLiteral("+"));
    fMain->mSave->trigger(); // as it was read: no question
    Edit(QStringLiteral("+"));
    fMain->mSave->trigger(); // as it was saved: no question
    QVERIFY(dialogs.questions.isEmpty());
    QCOMPARE(ReadBytes(path), QByteArray("mine++"));

    WriteBytes(path, "theirs!");
    Edit(QStringLiteral("+"));
    dialogs.answers = {TAnswer::No};
    fMain->mSave->trigger();
    QCOMPARE(dialogs.questions, QStringList{question});
    QCOMPARE(dialogs.questionTitles.last(), QStringLiteral("Corvane 1.4.beta"));
    QCOMPARE(ReadBytes(path), QByteArray("theirs!"));
    QCOMPARE(fMain->PanelText(0), QStringLiteral("Mod"));

    dialogs.answers = {TAnswer::Yes};
    fMain->mSave->trigger();
    QCOMPARE(ReadBytes(path), QByteArray("mine+++"));
    QVERIFY(!fMain->Modified());

    // The same size, a later modification time.
    WriteBytes(path, "MINE+++");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(3600),
                             QFileDevice::FileModificationTime));
    file.close();
    dialogs.answers = {TAnswer::No};
    fMain->mSave->trigger();
    QCOMPARE(dialogs.questions.size(), 3);
    QCOMPARE(ReadBytes(path), QByteArray("MINE+++"));
}

void TFileCommandsTest::fullDiskKeepsTheOldFile_data() {
    QTest::addColumn<bool>("inPlace");
    QTest::newRow("beside the file") << false;
    QTest::newRow("in place") << true;
}

// A small file system with room for the old file but not for the new text.
void TFileCommandsTest::fullDiskKeepsTheOldFile() {
    QFETCH(bool, inPlace);
    if (::geteuid() != 0) QSKIP("mounting a small file system needs root");
    const QString disk = Path("disk");
    QVERIFY(QDir().mkpath(disk));
    if (QProcess::execute(QStringLiteral("mount"),
                          {"-t", "tmpfs", "-o", "size=300k", "tmpfs", disk}) != 0)
        QSKIP("cannot mount a tmpfs here");
    mounted_ = disk;
    TFakeDialogs dialogs;
    const QString path = disk + QStringLiteral("/p.cv");
    const QByteArray old = QByteArray("OUTPUT\r\n").repeated(12800); // 100 KB
    WriteBytes(path, old);
    if (inPlace) BlockTemporaryFile(path);
    OpenFile(dialogs, path);
    Edit(QString(350 * 1024, u'x'));
    fMain->mSave->trigger();
    QCOMPARE(dialogs.errors, QStringList{QStringLiteral("Stream write error.")});
    QVERIFY(ReadBytes(path) == old);
    QVERIFY(fMain->Modified());
    QCOMPARE(QFileInfo(TemporaryFileFor(path)).isDir(), inPlace);
    // A text that fits is written whole.
    fMain->oText->setPlainText(QString(150 * 1024, u'y'));
    fMain->mSave->trigger();
    QCOMPARE(dialogs.errors.size(), 1);
    QCOMPARE(ReadBytes(path), QByteArray(150 * 1024, 'y'));
}

namespace {
int writeCalls = 0;
// Writes a few bytes, then fails once with an I/O error.
ssize_t FailingOnce(int fd, const void* data, size_t size, off_t offset) {
    if (++writeCalls == 2) {
        errno = EIO;
        return -1;
    }
    return ::pwrite(fd, data, std::min<size_t>(size, 4), offset);
}
} // namespace

void TFileCommandsTest::writeFailingMidwayKeepsTheOldFile_data() {
    fullDiskKeepsTheOldFile_data();
}

void TFileCommandsTest::writeFailingMidwayKeepsTheOldFile() {
    QFETCH(bool, inPlace);
    TFakeDialogs dialogs;
    WriteBytes(Path("m.cv"), "old text\r\n");
    if (inPlace) BlockTemporaryFile(Path("m.cv"));
    OpenFile(dialogs, Path("m.cv"));
    fMain->oText->selectAll();
    fMain->oText->insertPlainText(QStringLiteral("a longer new text"));
    writeCalls = 0;
    const TPwrite previous = SetPwrite(FailingOnce);
    fMain->mSave->trigger();
    SetPwrite(previous);
    QVERIFY(writeCalls >= 2);
    QCOMPARE(dialogs.errors, QStringList{QStringLiteral("Stream write error.")});
    QCOMPARE(ReadBytes(Path("m.cv")), QByteArray("old text\r\n"));
    QCOMPARE(fMain->PanelText(0), QStringLiteral("Mod"));
    fMain->mSave->trigger();
    QCOMPARE(ReadBytes(Path("m.cv")), QByteArray("a longer new text"));
}

// A save killed before its rename leaves its temporary file; the next save
// takes it up instead of adding another.
void TFileCommandsTest::strayTemporaryFileIsTakenUp() {
    TFakeDialogs dialogs;
    WriteBytes(Path("s.cv"), "old");
    WriteBytes(TemporaryFileFor(Path("s.cv")), "half a new te");
    OpenFile(dialogs, Path("s.cv"));
    Edit(QStringLiteral(" new"));
    fMain->mSave->trigger();
    QVERIFY(dialogs.errors.isEmpty());
    QCOMPARE(ReadBytes(Path("s.cv")), QByteArray("old new"));
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"s.cv"});
}

QTEST_MAIN(TFileCommandsTest)
#include "filecommands_test.moc"
