// The document at start: the command line's file, and the recovery copies
// (kept while edited, removed when saved or dropped, offered again when their
// instance is gone, never taken from a running one). A real kill:
// recovery-kill-test.
#include "app/startdocument.h"
#include "app/startup.h"
#include "support/fakedialogs.h"
#include "windows/editor.h"
#include "windows/globals.h"
#include "windows/recovery.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

using TAnswer = TDialogs::TAnswer;

class TStartupTest : public QObject {
    Q_OBJECT

    QTemporaryDir data_;
    QString folder_; // the recovery copies' folder
    std::unique_ptr<TWindows> windows_;

    static void Write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    // A copy whose instance is gone (its lock released, or stale).
    void Leave(const QString& id, const TRecoveryCopy& copy) {
        QVERIFY(QDir().mkpath(folder_));
        Write(folder_ + "/" + id + ".recovery", CopyBytes(copy));
        QTest::qWait(20); // a later copy is a newer one
    }
    // This instance's copy as "NAME:TEXT", "" while there is none.
    QString OwnCopy() const {
        const QString own = QString::number(QCoreApplication::applicationPid()) + "-";
        for (const QString& name : QDir(folder_).entryList({own + "*.recovery"})) {
            QFile file(folder_ + "/" + name);
            const auto copy = CopyFromBytes(file.open(QIODevice::ReadOnly) ? file.readAll() : "");
            return copy ? copy->Name + ":" + copy->Text : "?";
        }
        return {};
    }

private Q_SLOTS:
    void initTestCase() {
        qputenv("XDG_DATA_HOME", QFile::encodeName(data_.path()));
        folder_ = TRecoveryStore::DefaultFolder();
        QVERIFY(data_.isValid() && folder_.startsWith(data_.path()));
    }
    void init() {
        QDir(folder_).removeRecursively();
        windows_ = std::make_unique<TWindows>();
        fMain->oRecoveryTimer->setInterval(20);
    }
    void cleanup() {
        fMain->oText->document()->setModified(false);
        windows_.reset();
    }

    void fileArgument_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("file");
        QTest::newRow("none") << QStringList{} << "";
        QTest::newRow("the first of two") << QStringList{"a b.cv", "c.cv"} << "a b.cv";
        QTest::newRow("Qt's options and values")
            << QStringList{"-reverse", "-style", "x", "--platform", "y", "-style=z", "a.cv"}
            << "a.cv";
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

    // Read as File > Open reads it; one that cannot be read gives Open's
    // message over an empty editor.
    void namedFileOpensAsOpenDoes() {
        TFakeDialogs dialogs;
        const QString path = data_.filePath("cz.cv");
        Write(path, "SET 1 // \x8A\xE8");
        OpenAtStart(path);
        QCOMPARE(fMain->EditorText(), QString::fromUtf8("SET 1 // Šč"));
        QCOMPARE(fMain->Encoding(), corvane::TEncoding::Windows1250);
        QCOMPARE(fMain->Caption(), QString("cz.cv - Corvane 1.4.beta"));
        QVERIFY(!fMain->Modified());

        windows_.reset();
        windows_ = std::make_unique<TWindows>();
        OpenAtStart(data_.filePath("missing.cv"));
        QCOMPARE(dialogs.errors, QStringList{"Cannot open file " + data_.filePath("missing.cv.")});
        QCOMPARE(fMain->EditorText(), QString());
        QCOMPARE(fMain->Caption(), QString("Untitled - Corvane 1.4.beta"));
    }

    void copyLastsWhileChangesAreUnsaved() {
        TFakeDialogs dialogs;
        QTest::keyClicks(fMain->oText, "SET 1");
        QTRY_COMPARE(OwnCopy(), QString("Untitled:SET 1"));
        dialogs.savePaths = {data_.filePath("one.cv")};
        fMain->mSave->trigger();
        QCOMPARE(OwnCopy(), QString());
        QTest::keyClick(fMain->oText, Qt::Key_Return);
        QTRY_COMPARE(OwnCopy(), QString("one.cv:SET 1\r\n"));
        dialogs.answers = {TAnswer::No};
        fMain->mNew->trigger();
        QCOMPARE(OwnCopy(), QString());
        QTest::keyClicks(fMain->oText, "X");
        dialogs.answers = {TAnswer::Cancel, TAnswer::No};
        QVERIFY(!fMain->close());
        QTRY_COMPARE(OwnCopy(), QString("Untitled:X"));
        QVERIFY(fMain->close());
        QCOMPARE(OwnCopy(), QString());
    }

    // Newest first; one taken is no other's; one let go stays for later.
    void leftCopiesOnly() {
        TRecoveryStore running(folder_);
        QVERIFY(running.Write({"running.cv", "", "R", {}, false, {}}));
        Leave("1-old", {"old.cv", "", "O", {}, false, {}});
        Leave("2-new", {"new.cv", "", "N", {}, false, {}});
        Write(folder_ + "/3-bad.recovery", "no copy");
        TRecoveryStore starting(folder_);
        {
            const auto left = starting.TakeLeft();
            QCOMPARE(left.size(), std::size_t{2});
            QCOMPARE(left[0]->Copy().Name, QString("new.cv"));
            QCOMPARE(left[1]->Copy().Name, QString("old.cv"));
            QVERIFY(TRecoveryStore(folder_).TakeLeft().empty());
            left[0]->Discard();
        }
        const auto again = starting.TakeLeft();
        QCOMPARE(again.size(), std::size_t{1});
        QCOMPARE(again[0]->Copy().Name, QString("old.cv"));
        QVERIFY(!QFile::exists(folder_ + "/3-bad.recovery"));
    }

    // Yes restores the newest, unsaved, with its name and file; No deletes
    // a copy.
    void restoreOffersTheNewestCopy() {
        TFakeDialogs dialogs;
        const QString path = data_.filePath("sum.cv");
        Write(path, "SET 1");
        const TRecoveryCopy named{"sum.cv", data_.path(), "SET 2", {}, false, DiskState(path)};
        Leave("1-untitled", {"Untitled", "", "ADD 2", {}, false, {}});
        Leave("2-named", named);
        dialogs.answers = {TAnswer::Yes};
        OpenAtStart(path); // the restored file itself: not read over it
        QCOMPARE(dialogs.questions, QStringList{"Corvane was not closed properly. Restore the "
                                                "unsaved program sum.cv?"});
        QCOMPARE(fMain->EditorText(), QString("SET 2"));
        QCOMPARE(fMain->Caption(), QString("sum.cv - Corvane 1.4.beta"));
        QCOMPARE(fMain->PanelText(0), QString("Mod"));
        QTRY_COMPARE(OwnCopy(), QString("sum.cv:SET 2"));
        QVERIFY(!QFile::exists(folder_ + "/2-named.recovery"));
        fMain->mSave->trigger(); // the file as the copy knew it: asked nothing
        QCOMPARE(dialogs.questions.size(), 1);

        dialogs.answers = {TAnswer::No};
        QVERIFY(!fMain->OfferRecovery());
        QVERIFY(dialogs.questions.last().endsWith(" program Untitled?"));
        QVERIFY(!QFile::exists(folder_ + "/1-untitled.recovery"));
    }
};

QTEST_MAIN(TStartupTest)
#include "startup_test.moc"
