// The document at start: the file named on the command line, and the
// recovery copies of unsaved work (kept while edited, removed when saved or
// dropped, offered again after an instance ended without closing, never
// taken from a running instance).
#include "app/startdocument.h"
#include "app/startup.h"
#include "support/fakedialogs.h"
#include "windows/editor.h"
#include "windows/globals.h"
#include "windows/recovery.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

using TAnswer = TDialogs::TAnswer;

namespace {

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QStringList Files(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// A copy as an instance that was killed leaves it: `id`.recovery beside a
// lock whose process is gone. The lock is made as QLockFile makes it, then
// given a process id that has ended.
void LeaveCopy(const QString& folder, const QString& id, const TRecoveryCopy& copy) {
    QVERIFY(QDir().mkpath(folder));
    WriteBytes(folder + "/" + id + ".recovery", CopyBytes(copy));
    const QString lockPath = folder + "/" + id + ".lock";
    QByteArray lines;
    {
        QLockFile lock(lockPath);
        QVERIFY(lock.tryLock(0));
        QFile file(lockPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        lines = file.readAll();
    }
    QProcess ended;
    ended.start("true", {});
    QVERIFY(ended.waitForStarted());
    const qint64 pid = ended.processId();
    QVERIFY(ended.waitForFinished());
    WriteBytes(lockPath, QByteArray::number(pid) + lines.mid(lines.indexOf('\n')));
}

} // namespace

class TStartupTest : public QObject {
    Q_OBJECT

    QTemporaryDir data_;
    QString folder_; // the recovery copies' folder
    std::unique_ptr<TWindows> windows_;

    static void Type(const QString& text) { QTest::keyClicks(fMain->oText, text); }
    // This instance's copy as "NAME:TEXT", "" while there is none.
    static QString OwnCopy() {
        const QString folder = TRecoveryStore::DefaultFolder();
        const QString own = QString::number(QCoreApplication::applicationPid()) + "-";
        for (const QString& name : Files(folder).filter(".recovery")) {
            QFile file(folder + "/" + name);
            if (!name.startsWith(own) || !file.open(QIODevice::ReadOnly)) continue;
            const auto copy = CopyFromBytes(file.readAll());
            return copy ? copy->Name + ":" + copy->Text : QString();
        }
        return {};
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(data_.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(data_.path()));
        folder_ = TRecoveryStore::DefaultFolder();
        QVERIFY(folder_.startsWith(data_.path()));
    }

    void init() {
        QDir(folder_).removeRecursively();
        windows_ = std::make_unique<TWindows>();
        fMain->oRecoveryTimer->setInterval(20);
        fMain->show();
    }

    void cleanup() {
        fMain->oText->document()->setModified(false);
        windows_.reset();
    }

    void fileArgument_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("file");
        QTest::newRow("none") << QStringList{} << "";
        QTest::newRow("a file") << QStringList{"/tmp/a b.cv"} << "/tmp/a b.cv";
        QTest::newRow("the first of two") << QStringList{"a.cv", "b.cv"} << "a.cv";
        QTest::newRow("after Qt's options")
            << QStringList{"-reverse", "-style", "fusion", "--platform", "xcb", "a.cv"} << "a.cv";
        QTest::newRow("an option's value joined") << QStringList{"-style=fusion", "a.cv"} << "a.cv";
        QTest::newRow("an option's value alone") << QStringList{"-style", "fusion"} << "";
        QTest::newRow("after --") << QStringList{"--", "-x.cv"} << "-x.cv";
    }
    void fileArgument() {
        QFETCH(QStringList, args);
        QFETCH(QString, file);
        std::vector<QByteArray> bytes{"corvane"};
        for (const QString& arg : args)
            bytes.push_back(arg.toUtf8());
        std::vector<const char*> argv;
        for (const QByteArray& arg : bytes)
            argv.push_back(arg.constData());
        QCOMPARE(FileArgument(static_cast<int>(argv.size()), argv.data()), file);
    }

    // As File > Open reads it: its encoding, its name, no changes; a file
    // that cannot be read gives Open's message over an empty editor.
    void namedFileOpensAsOpenDoes() {
        TFakeDialogs dialogs;
        const QString path = data_.filePath("cz.cv");
        WriteBytes(path, "SET 1 // \x8A\xE8\r\nOUTPUT");
        OpenAtStart(path);
        QCOMPARE(fMain->EditorText(), QString::fromUtf8("SET 1 // Šč\r\nOUTPUT"));
        QCOMPARE(fMain->Encoding(), corvane::TEncoding::Windows1250);
        QCOMPARE(fMain->Caption(), QString("cz.cv - Corvane 1.4.beta"));
        QVERIFY(!fMain->Modified());
        fMain->mOpen->trigger();
        QCOMPARE(dialogs.lastOpenPreset, path);

        windows_.reset();
        windows_ = std::make_unique<TWindows>();
        const QString missing = data_.filePath("missing.cv");
        OpenAtStart(missing);
        QCOMPARE(dialogs.errors, QStringList{"Cannot open file " + missing + "."});
        QCOMPARE(fMain->EditorText(), QString());
        QCOMPARE(fMain->Caption(), QString("Untitled - Corvane 1.4.beta"));
        QVERIFY(dialogs.questions.isEmpty());
    }

    // A copy follows the edits and goes with the unsaved changes: Save, New
    // and a close that answered the question each remove it.
    void copyLastsWhileChangesAreUnsaved() {
        TFakeDialogs dialogs;
        Type("SET 1");
        QTRY_COMPARE(OwnCopy(), QString("Untitled:SET 1"));
        dialogs.savePaths = {data_.filePath("one.cv")};
        fMain->mSave->trigger();
        QCOMPARE(OwnCopy(), QString());
        QTest::keyClick(fMain->oText, Qt::Key_Return);
        QTRY_COMPARE(OwnCopy(), QString("one.cv:SET 1\r\n"));
        dialogs.answers = {TAnswer::No};
        fMain->mNew->trigger();
        QCOMPARE(OwnCopy(), QString());
        Type("X");
        QTRY_COMPARE(OwnCopy(), QString("Untitled:X"));
        dialogs.answers = {TAnswer::Cancel, TAnswer::No};
        QVERIFY(!fMain->close());
        QCOMPARE(OwnCopy(), QString("Untitled:X"));
        QVERIFY(fMain->close());
        QCOMPARE(OwnCopy(), QString());
    }

    // Only copies whose owner is gone are taken, newest first; one released
    // without a decision stays for a later start.
    void leftCopiesOnlyAndNewestFirst() {
        TRecoveryStore running(folder_);
        QVERIFY(running.Write({"running.cv", "", "R", {}, false, {}}));
        // However long an instance has been running, its lock holds.
        QString runningLock = running.CopyPath();
        runningLock.replace(".recovery", ".lock");
        QFile lockFile(runningLock);
        QVERIFY(lockFile.open(QIODevice::ReadWrite));
        QVERIFY(lockFile.setFileTime(QDateTime::currentDateTime().addDays(-1),
                                     QFileDevice::FileModificationTime));
        LeaveCopy(folder_, "1-old", {"old.cv", "", "O", {}, false, {}});
        QTest::qWait(20);
        LeaveCopy(folder_, "2-new", {"new.cv", "", "N", {}, false, {}});
        WriteBytes(folder_ + "/3-bad.recovery", "no copy");
        TRecoveryStore starting(folder_);
        {
            const auto left = starting.TakeLeft();
            QCOMPARE(left.size(), std::size_t{2});
            QCOMPARE(left[0]->Copy().Name, QString("new.cv"));
            QCOMPARE(left[1]->Copy().Name, QString("old.cv"));
            // Taken: a third instance finds none of them.
            QVERIFY(TRecoveryStore(folder_).TakeLeft().empty());
            left[0]->Discard();
        }
        const auto again = starting.TakeLeft();
        QCOMPARE(again.size(), std::size_t{1});
        QCOMPARE(again[0]->Copy().Name, QString("old.cv"));
        QVERIFY(!Files(folder_).contains("3-bad.recovery"));
        QVERIFY(Files(folder_).contains(QFileInfo(running.CopyPath()).fileName()));
    }

    // Yes restores the newest as a modified document with its name and file;
    // No deletes a copy and asks about the next.
    void restoreOffersTheNewestCopy() {
        TFakeDialogs dialogs;
        const QString path = data_.filePath("sum.cv");
        WriteBytes(path, "SET 1");
        TRecoveryCopy named{"sum.cv", data_.path(), "SET 1\r\nOUTPUT", {}, false, DiskState(path)};
        LeaveCopy(folder_, "1-untitled", {"Untitled", "", "ADD 2", {}, false, {}});
        QTest::qWait(20);
        LeaveCopy(folder_, "2-named", named);
        dialogs.answers = {TAnswer::Yes};
        OpenAtStart(path); // the restored file itself: not read over it
        QCOMPARE(dialogs.questions,
                 QStringList{"Corvane was not closed properly. Restore the unsaved program "
                             "sum.cv?"});
        QCOMPARE(dialogs.questionTitles, QStringList{"Corvane 1.4.beta"});
        QCOMPARE(fMain->EditorText(), named.Text);
        QCOMPARE(fMain->Caption(), QString("sum.cv - Corvane 1.4.beta"));
        QCOMPARE(fMain->PanelText(0), QString("Mod"));
        QVERIFY(!Files(folder_).contains("2-named.recovery"));
        QTRY_COMPARE(OwnCopy(), "sum.cv:" + named.Text);
        fMain->mSave->trigger(); // the file as the copy knew it: no question
        QCOMPARE(dialogs.questions.size(), 1);
        QCOMPARE(dialogs.saveDialogs, 0);

        dialogs.answers = {TAnswer::No};
        QVERIFY(!fMain->OfferRecovery());
        QCOMPARE(dialogs.questions.last(),
                 QString("Corvane was not closed properly. Restore the unsaved program "
                         "Untitled?"));
        QCOMPARE(Files(folder_).filter("1-untitled"), QStringList{});
    }
};

QTEST_MAIN(TStartupTest)
#include "startup_test.moc"
