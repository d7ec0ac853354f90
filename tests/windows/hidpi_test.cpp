// The windows at a screen scale (this test runs once more with
// QT_SCALE_FACTOR=2), at a larger application font and zoomed: every status
// panel shows its widest text whole, status bars hold their panels, list rows
// their lines, and the about box and the input dialog their texts.
#include "app/startup.h"
#include "gui/fonts.h"
#include "gui/zoom.h"
#include "windows/about.h"
#include "windows/break.h"
#include "windows/editor.h"
#include "windows/globals.h"
#include "windows/input.h"
#include "windows/run.h"

#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QListView>
#include <QPushButton>
#include <QStatusBar>
#include <QtTest>

#include <memory>

namespace {

// The widest text each panel can be given, by window.
struct TPanelText {
    QWidget* Window;
    int Panel;
    QString Text;
};

QList<QLabel*> Panels(QWidget* window) {
    return window->findChild<QStatusBar*>()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
}

// Whole: as wide as the text plus the label's indent, and as high as a line.
QString Cut(const QLabel* label, const QString& text) {
    const QFontMetrics metrics = label->fontMetrics();
    const int indent = label->frameWidth() > 0 ? metrics.horizontalAdvance(u'x') / 2 : 0;
    const QRect room = label->contentsRect();
    if (room.width() - indent < metrics.horizontalAdvance(text) || room.height() < metrics.height())
        return QStringLiteral("%1 in %2x%3 (font %4, %5 px high)")
            .arg(text)
            .arg(room.width())
            .arg(room.height())
            .arg(label->font().toString())
            .arg(metrics.height());
    return {};
}

} // namespace

class HiDpiTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TWindows> windows_;
    QFont normal_;

    void CheckWholeTexts(const char* where) {
        const QList<TPanelText> texts = {
            {fBreak, 0, "WR: -2147483648"}, {fBreak, 1, "In: -2147483648"},
            {fRun, 0, "Line: 2147483647"},  {fRun, 1, "Waiting for input ..."},
            {fRun, 2, "Steps: 4294967295"}, {fMain, 0, "Mod"},
            {fMain, 1, "Exits application"}};
        for (const TPanelText& t : texts) {
            QWidget* window = t.Window;
            window->show();
            QLabel* label = Panels(window).value(t.Panel);
            QVERIFY(label);
            // The run window's steps panel shows only once the run is over.
            if (window == fRun) Panels(fRun).value(2)->setVisible(t.Panel == 2);
            const QString kept = label->text();
            label->setText(t.Text);
            // Status bars and windows lay themselves out from the event loop.
            QTRY_VERIFY2_WITH_TIMEOUT(Cut(label, t.Text).isEmpty(),
                                      qPrintable(QString(where) + ": " + Cut(label, t.Text)), 1000);
            label->setText(kept);
            const QStatusBar* bar = window->findChild<QStatusBar*>();
            QVERIFY2(bar->height() >= label->height(), where);
        }
        Panels(fRun).value(2)->hide();
        const QModelIndex line = fBreak->oCheckListBox->model()->index(0, 0);
        QVERIFY2(fBreak->oCheckListBox->sizeHintForIndex(line).height() >=
                     fBreak->oCheckListBox->fontMetrics().height(),
                 where);
        // The about box and the input dialog keep their texts inside.
        for (const QLabel* label : fAbout->findChildren<QLabel*>()) {
            if (label->text().isEmpty()) continue;
            QVERIFY2(fAbout->rect().contains(label->geometry()), qPrintable(label->text()));
            QVERIFY2(label->width() >= label->fontMetrics().horizontalAdvance(label->text()),
                     qPrintable(label->text()));
        }
        const QLabel* purpose = fAbout->oPurpose;
        QVERIFY2(purpose->x() + purpose->fontMetrics().horizontalAdvance(purpose->text()) <
                     fAbout->bOk->x(),
                 where);
        for (const QPushButton* button : {fAbout->bOk, fInput->oOkButton, fInput->oCancelButton}) {
            QVERIFY2(button->width() >= button->fontMetrics().horizontalAdvance(button->text()) &&
                         button->height() >= button->fontMetrics().height(),
                     qPrintable(QString(where) + ": " + button->text()));
        }
        QVERIFY2(fInput->oOldInputs->height() >= fInput->oOldInputs->fontMetrics().height(), where);
        for (QWidget* window : {static_cast<QWidget*>(fMain), static_cast<QWidget*>(fRun),
                                static_cast<QWidget*>(fBreak)})
            window->hide();
    }

private Q_SLOTS:
    void initTestCase() {
        normal_ = QApplication::font();
        windows_ = std::make_unique<TWindows>();
        fMain->oText->setPlainText("SET 1\nOUTPUT");
        fRun->Source = fMain->RunSource();
        fBreak->PrepareRun();
        qInfo() << "scale" << qgetenv("QT_SCALE_FACTOR") << "device pixel ratio"
                << fMain->devicePixelRatioF() << "font" << QApplication::font().toString();
    }
    void cleanupTestCase() { windows_.reset(); }
    // A failed check leaves no larger font or zoom to the next.
    void cleanup() {
        QApplication::setFont(normal_);
        QTRY_COMPARE(fAbout->font(), normal_);
        Zoom().Reset();
    }

    void wholeAtTheApplicationsFont() { CheckWholeTexts("designed"); }

    void wholeAtALargerApplicationFont() {
        QFont larger = normal_;
        larger.setPointSizeF(14);
        QApplication::setFont(larger);
        QTRY_COMPARE(fAbout->font().pointSizeF(), 14.0);
        QTRY_COMPARE(Panels(fBreak).value(0)->font().pointSizeF(), 14.0);
        CheckWholeTexts("14 pt");
        // The designed sizes grew with the font.
        QVERIFY(fAbout->width() > 365);
        QVERIFY(fMain->oStatusBar->height() > 19);
        QApplication::setFont(normal_);
        QTRY_COMPARE(fAbout->font(), normal_);
        QCOMPARE(fAbout->size(), QSize(365, 173));
    }

    void wholeZoomed() {
        Zoom().SetPercent(200);
        CheckWholeTexts("200%");
        Zoom().SetPercent(50);
        CheckWholeTexts("50%");
        Zoom().Reset();
    }
};

QTEST_MAIN(HiDpiTest)
#include "hidpi_test.moc"
