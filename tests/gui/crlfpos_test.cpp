// Document positions (one character per line break) against CR LF positions.
#include "gui/crlfpos.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

namespace {

// The text as the core sees it: blocks joined by CR LF.
QString CrlfText(const QTextDocument& doc) {
    QString text;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block != doc.begin()) text += QStringLiteral("\r\n");
        text += block.text();
    }
    return text;
}

} // namespace

class TCrlfPosTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lineStartsEndsAndTextEnd_data();
    void lineStartsEndsAndTextEnd();
    void everyPositionAgreesWithTheCrlfText_data();
    void everyPositionAgreesWithTheCrlfText();
    void positionsOutsideTheTextAreClamped();
};

void TCrlfPosTest::lineStartsEndsAndTextEnd_data() {
    QTest::addColumn<QString>("plain");
    QTest::addColumn<int>("docPos");
    QTest::addColumn<int>("crlfPos");
    // "ab\ncd\n\nef": CR LF text "ab\r\ncd\r\n\r\nef".
    const QString text = QStringLiteral("ab\ncd\n\nef");
    QTest::newRow("start of text") << text << 0 << 0;
    QTest::newRow("end of first line") << text << 2 << 2;
    QTest::newRow("start of second line") << text << 3 << 4;
    QTest::newRow("end of second line") << text << 5 << 6;
    QTest::newRow("empty third line") << text << 6 << 8;
    QTest::newRow("start of last line") << text << 7 << 10;
    QTest::newRow("end of text") << text << 9 << 12;
    QTest::newRow("empty text") << QString() << 0 << 0;
    QTest::newRow("after a final line break") << QStringLiteral("x\n") << 2 << 3;
}

void TCrlfPosTest::lineStartsEndsAndTextEnd() {
    QFETCH(QString, plain);
    QFETCH(int, docPos);
    QFETCH(int, crlfPos);
    QTextDocument doc(plain);
    QCOMPARE(DocToCrlf(doc, docPos), crlfPos);
    QCOMPARE(CrlfToDoc(doc, crlfPos), docPos);
    QCOMPARE(DocToCrlf(QStringView(plain), docPos), crlfPos);
    QCOMPARE(CrlfToDoc(QStringView(plain), crlfPos), docPos);
}

void TCrlfPosTest::everyPositionAgreesWithTheCrlfText_data() {
    QTest::addColumn<QString>("plain");
    QTest::newRow("lines") << QStringLiteral("STACK a\n:x\tPUSH a\n\nGOTO x");
    QTest::newRow("leading and trailing breaks") << QStringLiteral("\n\nab\n\n");
    QTest::newRow("one line") << QStringLiteral("ščř ž");
    QString many;
    for (int i = 0; i < 300; ++i)
        many += QString(i % 7, QChar(u'a' + i % 26)) + u'\n';
    QTest::newRow("many lines") << many;
}

// Every document position maps onto the same character of the CR LF text
// (a line break onto its CR), the way back is exact, and the position on the
// LF of a pair falls back onto the line end.
void TCrlfPosTest::everyPositionAgreesWithTheCrlfText() {
    QFETCH(QString, plain);
    QTextDocument doc(plain);
    const QString crlf = CrlfText(doc);
    QCOMPARE(DocToCrlf(doc, doc.characterCount() - 1), crlf.size());
    for (int pos = 0; pos < doc.characterCount() - 1; ++pos) {
        const int c = DocToCrlf(doc, pos);
        QCOMPARE(DocToCrlf(QStringView(plain), pos), c);
        const QChar docChar = doc.characterAt(pos);
        if (docChar == QChar::ParagraphSeparator) {
            QCOMPARE(crlf.mid(c, 2), QStringLiteral("\r\n"));
            QCOMPARE(CrlfToDoc(doc, c + 1), pos);
            QCOMPARE(CrlfToDoc(QStringView(plain), c + 1), pos);
        } else {
            QCOMPARE(crlf.at(c), docChar);
        }
        QCOMPARE(CrlfToDoc(doc, c), pos);
        QCOMPARE(CrlfToDoc(QStringView(plain), c), pos);
    }
}

void TCrlfPosTest::positionsOutsideTheTextAreClamped() {
    const QString plain = QStringLiteral("ab\ncd");
    QTextDocument doc(plain);
    QCOMPARE(CrlfToDoc(doc, -5), 0);
    QCOMPARE(CrlfToDoc(doc, 100), 5);
    QCOMPARE(DocToCrlf(doc, -1), 0);
    QCOMPARE(DocToCrlf(doc, 100), 6);
    QCOMPARE(CrlfToDoc(QStringView(plain), 100), 5);
    QCOMPARE(DocToCrlf(QStringView(plain), 100), 6);
    QTextDocument empty;
    QCOMPARE(CrlfToDoc(empty, 3), 0);
    QCOMPARE(DocToCrlf(empty, 3), 0);
}

QTEST_MAIN(TCrlfPosTest)
#include "crlfpos_test.moc"
