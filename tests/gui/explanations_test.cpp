// The messages' explanations as the editor's tooltips get them: read from the
// guide in the program's resources, a filled-in number matching the heading's
// N, plain text, nothing for a message the guide does not know.
#include "core/appstrings.h"
#include "gui/explanations.h"
#include "gui/guidesource.h"

#include <QtTest>

using corvane::Str;

class TExplanationsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void plainMessageGivesItsThreeParagraphs();
    void everyMessageOfTheTableIsExplained();
    void filledInNumberMatchesN_data();
    void filledInNumberMatchesN();
    void unknownMessageGivesNothing_data();
    void unknownMessageGivesNothing();
    void markupIsRemoved();
    void examplesAreInTheResources();
};

void TExplanationsTest::plainMessageGivesItsThreeParagraphs() {
    const QString text = MessageExplanation(QString::fromUtf8(Str(corvane::sDivisionByZero)));
    const QStringList paragraphs = text.split(QStringLiteral("\n\n"));
    QCOMPARE(paragraphs.size(), 3);
    QCOMPARE(paragraphs[0],
             QStringLiteral("What it means. A DIV statement would divide by 0; the run stops, and "
                            "WR and the stack are left as they were."));
    QVERIFY(paragraphs[1].startsWith(QStringLiteral("Usual cause. ")));
    QCOMPARE(paragraphs[2], QStringLiteral("Fix. Test the divisor while it is in WR, before you "
                                           "push it: IF ZERO GOTO skip"));
}

// The run shows these texts; each must find its heading in the guide as built
// into the program, not only in the source tree.
void TExplanationsTest::everyMessageOfTheTableIsExplained() {
    const corvane::TStringId phases[] = {corvane::sParsing, corvane::sLinking, corvane::sLinePrefix,
                                         corvane::sWaitingForInput, corvane::sRunning};
    for (int id = corvane::sNoMemory; id < corvane::sStringCount; ++id) {
        if (std::find(std::begin(phases), std::end(phases), id) != std::end(phases)) continue;
        QString message = QString::fromUtf8(Str(corvane::TStringId(id)));
        if (id == corvane::sOutputLimit)
            message = QString::fromStdString(corvane::OutputLimitText(100000));
        const QString text = MessageExplanation(message);
        QVERIFY2(text.startsWith(QStringLiteral("What it means. ")), qPrintable(message));
        QVERIFY2(text.contains(QStringLiteral("\n\nUsual cause. ")), qPrintable(message));
        QVERIFY2(text.contains(QStringLiteral("\n\nFix. ")), qPrintable(message));
    }
}

void TExplanationsTest::filledInNumberMatchesN_data() {
    QTest::addColumn<QString>("message");
    QTest::newRow("four digits") << QString::fromStdString(corvane::OutputLimitText(1234));
    QTest::newRow("one digit") << QStringLiteral(
        "Output limit reached: the run was stopped after 7 values ...");
}

void TExplanationsTest::filledInNumberMatchesN() {
    QFETCH(QString, message);
    QVERIFY(MessageExplanation(message).startsWith(
        QStringLiteral("What it means. The program printed so many values")));
}

void TExplanationsTest::unknownMessageGivesNothing_data() {
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown") << QStringLiteral("Something went wrong ...");
    QTest::newRow("empty") << QString();
    // N stands for a number, not for any text, and the whole message must match.
    QTest::newRow("word for N") << QStringLiteral(
        "Output limit reached: the run was stopped after many values ...");
    QTest::newRow("heading's own N")
        << QStringLiteral("Output limit reached: the run was stopped after N values ...");
    QTest::newRow("part of a message") << QStringLiteral("Division by zero");
    QTest::newRow("a section that is no message") << QStringLiteral("SET");
}

void TExplanationsTest::unknownMessageGivesNothing() {
    QFETCH(QString, message);
    QCOMPARE(MessageExplanation(message), QString());
}

void TExplanationsTest::markupIsRemoved() {
    const QString guide = QStringLiteral(
        "# Guide\n\n## Messages\n\n### Bad thing N ...\r\n\r\n**What it means.** A `SET` "
        "went\nwrong, see [the tour](#tour).\n\n**Fix.** Write `SET 1`\n\n## Afterwards\n\n"
        "### Other ...\n\nNot a message.\n");
    QCOMPARE(MessageExplanationIn(guide, QStringLiteral("Bad thing 12 ...")),
             QStringLiteral("What it means. A SET went wrong, see the tour.\n\nFix. Write SET 1"));
    QCOMPARE(MessageExplanationIn(guide, QStringLiteral("Other ...")), QString());
}

// Every example the guide links to is built in (a new example needs its line
// in guide.qrc).
void TExplanationsTest::examplesAreInTheResources() {
    static const QRegularExpression link(QStringLiteral("\\]\\(example:([^)]*)\\)"));
    int links = 0;
    for (const QRegularExpressionMatch& match : link.globalMatch(GuideMarkdown())) {
        ++links;
        QVERIFY2(ExampleBytes(match.captured(1)).startsWith("//"), qPrintable(match.captured(1)));
    }
    QVERIFY(links > 0);
    QVERIFY(ExampleBytes(QStringLiteral("sum")).startsWith("// Sum of the inputs"));
    QCOMPARE(ExampleBytes(QStringLiteral("nosuch")), QByteArray());
    QCOMPARE(ExampleBytes(QStringLiteral("../guide/guide")), QByteArray());
    QVERIFY(GuideMarkdown().startsWith(QStringLiteral("# Corvane Language Guide")));
}

QTEST_MAIN(TExplanationsTest)
#include "explanations_test.moc"
