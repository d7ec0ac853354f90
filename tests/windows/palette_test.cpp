// View > Dark through the real windows: the command, every window following
// the switch and back, and the colours the windows compute themselves
// (syntax, paused line, check marks, changed values, the guide's not-found
// text, the output's shade) recomputed for the new palette and readable on it.
#include "app/startup.h"
#include "core/inputlist.h"
#include "core/program.h"
#include "core/text_codec.h"
#include "gui/colours.h"
#include "gui/palettes.h"
#include "suite/suite.h"
#include "windows/about.h"
#include "windows/break.h"
#include "windows/check.h"
#include "windows/codeeditor.h"
#include "windows/editor.h"
#include "windows/globals.h"
#include "windows/guide.h"
#include "windows/input.h"
#include "windows/machinepane.h"
#include "windows/outputview.h"
#include "windows/run.h"
#include "windows/syntax.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QTableView>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextLayout>
#include <QTreeWidget>
#include <QtTest>

#include <memory>
#include <variant>

using namespace corvane;

namespace {

const TTokenKind kKinds[] = {TTokenKind::Keyword, TTokenKind::LabelDef, TTokenKind::LabelUse,
                             TTokenKind::Number,  TTokenKind::Stack,    TTokenKind::Comment,
                             TTokenKind::Break};

QString Describe(const QString& what, const QColor& a, const QColor& b) {
    return QStringLiteral("%1: %2 on %3 is %4:1")
        .arg(what, a.name(), b.name())
        .arg(ContrastRatio(a, b), 0, 'f', 2);
}

#define VERIFY_CONTRAST(what, a, b, ratio)                                                         \
    QVERIFY2(ContrastRatio((a), (b)) >= (ratio), qPrintable(Describe((what), (a), (b))))

void SwitchDark() {
    fMain->mDark->trigger();
    QCoreApplication::processEvents();
}

// The colour a block's layout draws at a position: what the user sees.
QColor DrawnAt(int line, int pos) {
    const QTextBlock block = fMain->oText->document()->findBlockByNumber(line);
    for (const QTextLayout::FormatRange& range : block.layout()->formats())
        if (pos >= range.start && pos < range.start + range.length)
            return range.format.foreground().color();
    return {};
}

QColor BandOfPausedLine() {
    for (const QTextEdit::ExtraSelection& s : fMain->oText->extraSelections())
        if (s.format.hasProperty(QTextFormat::FullWidthSelection))
            return s.format.background().color();
    return {};
}

suite::TSuite OnePassOneFail() {
    auto read = suite::ReadSuite("[[case]]\nname = \"right\"\ninput = \"7\"\noutput = \"7\"\n"
                                 "[[case]]\nname = \"wrong\"\ninput = \"1\"\noutput = \"2\"\n",
                                 "cases");
    return std::get<suite::TSuite>(std::move(read));
}

} // namespace

class PaletteTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TWindows> windows_;
    QPalette light_;

private Q_SLOTS:
    void initTestCase() {
        windows_ = std::make_unique<TWindows>();
        fMain->show();
        light_ = QGuiApplication::palette();
    }
    void cleanup() {
        if (DarkPaletteOn()) SwitchDark();
        QVERIFY(!DarkPaletteOn());
    }
    void cleanupTestCase() {
        fMain->oText->document()->setModified(false);
        windows_.reset();
    }

    void darkIsTheLastItemOfTheViewMenu() {
        QStringList bar;
        for (QAction* a : fMain->mMainMenu->actions())
            bar << a->text();
        QCOMPARE(bar.mid(0, 3), (QStringList{"&File", "&Edit", "&View"}));
        QCOMPARE(bar.indexOf("&View") + 1, bar.indexOf("&Run"));
        QCOMPARE(fMain->mViewMenu->objectName(), QStringLiteral("mViewMenu"));
        QCOMPARE(fMain->mViewMenu->actions().last(), fMain->mDark);
        QCOMPARE(fMain->mDark->objectName(), QStringLiteral("mDark"));
        QCOMPARE(fMain->mDark->text(), QStringLiteral("&Dark"));
        QCOMPARE(fMain->mDark->statusTip(),
                 QStringLiteral("Switches between a dark and a light palette"));
        QVERIFY(fMain->mDark->isCheckable());
        QVERIFY(!fMain->mDark->isChecked());
    }

    // Every window, open or hidden, made at start or later, takes the dark
    // palette and gives it back; so does the style.
    void everyWindowFollowsTheSwitchAndBack() {
        TfCheck check(fMain);
        TfGuide* guide = fMain->Guide();
        const QString style = QApplication::style()->name();
        const QList<QWidget*> windows{fMain, fRun, fInput, fBreak, fAbout, &check, guide};
        const QPalette dark = DarkPalette();

        SwitchDark();
        QVERIFY(fMain->mDark->isChecked());
        QCOMPARE(QGuiApplication::palette().color(QPalette::Base), dark.color(QPalette::Base));
        for (QWidget* window : windows) {
            QCOMPARE(window->palette().color(QPalette::Window), dark.color(QPalette::Window));
            QCOMPARE(window->palette().color(QPalette::Text), dark.color(QPalette::Text));
        }
        // A message box made now is dark too.
        QCOMPARE(QWidget().palette().color(QPalette::Window), dark.color(QPalette::Window));
        // The output is shaded from the window colour it now has.
        const QWidget* output = fRun->oText->viewport();
        QVERIFY(RelativeLuminance(output->palette().color(QPalette::Base)) < 0.1);
        VERIFY_CONTRAST("output", fRun->oText->palette().color(QPalette::Text),
                        output->palette().color(QPalette::Base), kTextContrast);

        SwitchDark();
        QVERIFY(!fMain->mDark->isChecked());
        QCOMPARE(QApplication::style()->name(), style);
        for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Text,
                                         QPalette::Highlight, QPalette::Link})
            QCOMPARE(QGuiApplication::palette().color(role), light_.color(role));
        for (QWidget* window : windows)
            QCOMPARE(window->palette().color(QPalette::Base), light_.color(QPalette::Base));
        QCOMPARE(output->palette().color(QPalette::Base),
                 light_.color(QPalette::Window).darker(106));
    }

    // The editor's colours are computed again, drawn again and readable on the
    // base and on the paused line's band, light and dark.
    void syntaxAndPausedLineFollow() {
        fMain->oText->setPlainText("STACK acc\n:top PUSH acc // <BREAK>\nIF ZERO GOTO top");
        fMain->oText->ShowPausedLine(2);
        TSyntaxHighlighter* highlighter = fMain->oText->Highlighter();
        QTRY_COMPARE(DrawnAt(1, 5), highlighter->Format(TTokenKind::Keyword).foreground().color());
        const QColor lightKeyword = DrawnAt(1, 5);
        const QColor lightBand = BandOfPausedLine();

        for (int round = 0; round < 2; ++round) {
            const QPalette palette = fMain->oText->palette();
            QCOMPARE(BandOfPausedLine(), PausedLineBand(palette));
            for (TTokenKind kind : kKinds) {
                const QColor c = highlighter->Format(kind).foreground().color();
                const QString what = QStringLiteral("kind %1, round %2").arg(int(kind)).arg(round);
                VERIFY_CONTRAST(what, c, palette.color(QPalette::Base), kTextContrast);
                VERIFY_CONTRAST(what + " on band", c, BandOfPausedLine(), kTextContrast);
            }
            if (round == 0) SwitchDark();
        }
        QVERIFY(IsDark(fMain->oText->palette()));
        QVERIFY(DrawnAt(1, 5) != lightKeyword);
        QCOMPARE(DrawnAt(1, 5), highlighter->Format(TTokenKind::Keyword).foreground().color());
        QVERIFY(BandOfPausedLine() != lightBand);
        fMain->oText->ShowPausedLine(0);
        fMain->oText->document()->setModified(false);
    }

    void checkMarksFollow() {
        TfCheck check(fMain);
        check.Start("cases - Check", OnePassOneFail(),
                    ToMachineText(u"INPUT e\r\nOUTPUT\r\n:e\r\n"));
        QTRY_VERIFY(!check.Running());
        const auto mark = [&](int row) {
            return check.oCases->topLevelItem(row)->foreground(TfCheck::ColMark).color();
        };
        QCOMPARE(check.oCases->topLevelItem(0)->text(TfCheck::ColMark), QStringLiteral("PASS"));
        QCOMPARE(check.oCases->topLevelItem(1)->text(TfCheck::ColMark), QStringLiteral("FAIL"));
        const QColor lightPass = mark(0), lightFail = mark(1);
        SwitchDark();
        const QPalette palette = check.palette();
        QCOMPARE(mark(0), PassColour(palette));
        QCOMPARE(mark(1), FailColour(palette));
        QVERIFY(mark(0) != lightPass && mark(1) != lightFail);
        VERIFY_CONTRAST("pass", mark(0), check.oCases->palette().color(QPalette::Base),
                        kTextContrast);
        VERIFY_CONTRAST("fail", mark(1), check.oCases->palette().color(QPalette::Base),
                        kTextContrast);
    }

    // An unchecked line's box is where a breakpoint goes: its frame shows as
    // a mark on the list's base in either palette (Fusion's own is 1.9:1 on
    // a light base).
    void uncheckedBreakpointBoxesShow() {
        fMain->oText->setPlainText("SET 1");
        fRun->Source = fMain->RunSource();
        fBreak->PrepareRun();
        QCOMPARE(fBreak->oCheckListBox->model()->rowCount(), 1);
        fBreak->show();
        QListView* list = fBreak->oCheckListBox;
        QVERIFY(QTest::qWaitForWindowExposed(fBreak));
        for (bool dark : {false, true}) {
            if (dark) SwitchDark();
            QStyleOptionViewItem option;
            option.initFrom(list->viewport());
            option.features |= QStyleOptionViewItem::HasCheckIndicator;
            // A new style lays the items out again, from a posted event.
            QTRY_VERIFY(list->visualRect(list->model()->index(0, 0)).top() >= 0);
            option.rect = list->visualRect(list->model()->index(0, 0));
            const QRect box =
                list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
            const QImage image = list->viewport()->grab().toImage();
            QVERIFY2(image.rect().contains(box), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                .arg(box.x())
                                                                .arg(box.y())
                                                                .arg(box.width())
                                                                .arg(box.height())));
            const QColor base = list->palette().color(QPalette::Base);
            double strongest = 0;
            for (int y = box.top(); y <= box.bottom(); ++y)
                for (int x = box.left(); x <= box.right(); ++x)
                    strongest = std::max(strongest, ContrastRatio(image.pixelColor(x, y), base));
            QVERIFY2(strongest >= kMarkContrast, qPrintable(QStringLiteral("%1 palette: %2:1")
                                                                .arg(dark ? "dark" : "light")
                                                                .arg(strongest, 0, 'f', 2)));
        }
        fBreak->hide();
    }

    void changedValuesFollow() {
        TProgram& prog = *fRun->Prog;
        prog.ClearStacks();
        prog.AddStack("");
        prog.WR = 1;
        prog.Steps = 1;
        TMachinePane pane;
        pane.Note(prog, nullptr, 0);
        prog.WR = 2;
        prog.PushValue(*prog.FindStack(nullptr), 5);
        prog.Steps = 2;
        pane.Note(prog, nullptr, 0);
        QVERIFY(pane.WRChanged());
        const auto cell = [&](int role) {
            return pane.oStacks->model()->index(0, 0).data(role).value<QColor>();
        };
        for (int round = 0; round < 2; ++round) {
            const QPalette palette = pane.palette();
            QCOMPARE(pane.oWR->palette().color(QPalette::Window), ChangedBackground(palette));
            QCOMPARE(pane.oWR->palette().color(QPalette::WindowText), ChangedText(palette));
            QCOMPARE(cell(Qt::BackgroundRole), ChangedBackground(palette));
            QCOMPARE(cell(Qt::ForegroundRole), ChangedText(palette));
            // What is not lit follows the pane.
            QCOMPARE(pane.oSteps->palette().color(QPalette::Window),
                     palette.color(QPalette::Window));
            if (round == 0) SwitchDark();
        }
        QVERIFY(IsDark(pane.palette()));
        prog.ClearStacks();
    }

    void guideNotFoundFollows() {
        TfGuide* guide = fMain->Guide();
        guide->oSearch->setText("no such words anywhere");
        QVERIFY(!guide->FindNext());
        const QColor light = guide->oSearch->palette().color(QPalette::Text);
        QCOMPARE(light, ErrorColour(guide->palette()));
        SwitchDark();
        const QColor dark = guide->oSearch->palette().color(QPalette::Text);
        QVERIFY(dark != light);
        VERIFY_CONTRAST("not found", dark, guide->oSearch->palette().color(QPalette::Base),
                        kTextContrast);
        // The field's other colours are the window's, dark ones.
        QCOMPARE(guide->oSearch->palette().color(QPalette::Base),
                 DarkPalette().color(QPalette::Base));
        // Found again: the field's text colour is the palette's.
        guide->oSearch->setText("STACK");
        QVERIFY(guide->FindNext());
        QCOMPARE(guide->oSearch->palette().color(QPalette::Text),
                 DarkPalette().color(QPalette::Text));
        // Links are drawn in a colour readable on the dark base, though the
        // guide was read in the light palette.
        const QTextDocument& doc = *guide->oBrowser->document();
        int links = 0;
        for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                if (!format.isAnchor()) continue;
                ++links;
                const QColor drawn = format.foreground().style() == Qt::NoBrush
                                         ? guide->oBrowser->palette().color(QPalette::Link)
                                         : format.foreground().color();
                VERIFY_CONTRAST("link " + it.fragment().text(), drawn,
                                guide->oBrowser->palette().color(QPalette::Base), kTextContrast);
            }
        QVERIFY(links > 0);
        guide->oSearch->clear();
        guide->hide();
    }
};

QTEST_MAIN(PaletteTest)
#include "palette_test.moc"
