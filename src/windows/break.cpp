#include "windows/break.h"

#include "core/program.h"
#include "gui/barparts.h"
#include "gui/infobox.h"
#include "windows/editorlink.h"
#include "windows/globals.h"
#include "windows/input.h"
#include "windows/run.h"
#include "windows/stacksummary.h"

#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

constexpr int TabStop = 16;
constexpr int LineHeight = 15;

// Lists every line at the same fixed height, whatever the font would ask for.
class TLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), LineHeight};
    }
};

} // namespace

TfBreak::TfBreak(QWidget* parent) : QDialog(parent) {
    setObjectName("fBreak");
    setWindowTitle("fBreak");

    oMainMenu = new QMenuBar(this);
    oMainMenu->setObjectName("oMainMenu");
    mContinue = AddBarCommand(oMainMenu, "mContinue", "&Continue (F9)", Qt::Key_F9);
    mNext = AddBarCommand(oMainMenu, "mNext", "&Next (F8)", Qt::Key_F8);
    mStop = AddBarCommand(oMainMenu, "mStop", "&Stop (F5)", Qt::Key_F5);
    mContinueByEsc = new QAction(this);
    mContinueByEsc->setObjectName("mContinueByEsc");
    mContinueByEsc->setShortcut(Qt::Key_Escape);
    addAction(mContinueByEsc);

    connect(mContinue, &QAction::triggered, this, &TfBreak::mContinueClick);
    connect(mContinueByEsc, &QAction::triggered, this, &TfBreak::mContinueClick);
    connect(mNext, &QAction::triggered, this, &TfBreak::mNextClick);
    connect(mStop, &QAction::triggered, this, &TfBreak::mStopClick);

    oCheckListBox = new QListWidget(this);
    oCheckListBox->setObjectName("oCheckListBox");
    oCheckListBox->setFont(ProgramFont());
    oCheckListBox->setUniformItemSizes(true);
    oCheckListBox->setItemDelegate(new TLineDelegate(oCheckListBox));

    oStatusBar = new QStatusBar(this);
    oStatusBar->setObjectName("oStatusBar");
    oStatusBar->setSizeGripEnabled(false);
    oStatusBar->setFixedHeight(19);
    panels_[0] = AddPanel(oStatusBar, 100);
    panels_[1] = AddPanel(oStatusBar, 100);
    panels_[2] = AddPanel(oStatusBar, 0);
    oStatusBar->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(oMainMenu);
    layout->addWidget(oCheckListBox, 1);
    layout->addWidget(oStatusBar);
    resize(296, 280);
}

QString TfBreak::ExpandTabs(const QString& text) {
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\t')
            result += QString(TabStop - result.size() % TabStop, u' ');
        else
            result += c;
    }
    return result;
}

void TfBreak::PrepareRun() {
    setWindowTitle(MainCaption() + " - [break]");
    oCheckListBox->clear();
    const int count = EditorLineCount();
    stops_.Reset(count);
    for (int i = 0; i < count; ++i) {
        auto* item = new QListWidgetItem(ExpandTabs(EditorLine(i)), oCheckListBox);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    for (int j = 0; j < EditorLineCount(); ++j) {
        const QListWidgetItem* item = oCheckListBox->item(j);
        if (item && item->text().toUpper().contains(QStringLiteral("<BREAK>")))
            SetStopLine(j, true);
    }
}

void TfBreak::SetStopLine(int index, bool mark) {
    if (index < 0 || index >= EditorLineCount()) return;
    QListWidgetItem* item = oCheckListBox->item(index);
    if (!item) return;
    item->setCheckState(mark ? Qt::Checked : Qt::Unchecked);
    stops_.Set(index, mark);
}

int32_t TfBreak::RunToLine() {
    return fRun ? fRun->RunToLine : 0;
}

void TfBreak::TakeMarks() {
    for (int j = 0; j < oCheckListBox->count(); ++j)
        stops_.Set(j, oCheckListBox->item(j)->checkState() == Qt::Checked);
}

QString TfBreak::PanelText(int panel) const {
    return panel >= 0 && panel < 3 ? panels_[panel]->text() : QString();
}

void TfBreak::FormActivate() {
    const int row = fRun ? fRun->StopLine - 1 : -1;
    if (row >= 0 && row < oCheckListBox->count()) {
        oCheckListBox->setCurrentRow(row);
        oCheckListBox->scrollToItem(oCheckListBox->item(row));
    } else {
        oCheckListBox->setCurrentRow(-1);
        oCheckListBox->clearSelection();
    }
    panels_[0]->setText("WR: " + SignedText(fRun ? fRun->GetWorkRegister() : 0));
    uint32_t next = 0;
    panels_[1]->setText(
        "In: " + (fInput && fInput->InputList.Peek(next) ? SignedText(next) : QString("EMPTY")));
    panels_[2]->setText(fRun ? StackSummary(*fRun->Prog) : QString());
}

void TfBreak::oStatusBarDblClick() {
    QString text = panels_[2]->text();
    text.replace(u';', u'\n');
    ShowInfoBox(this, windowTitle(), text);
    // Without a window manager nobody hands the activation back when the box
    // closes, and F9, F8, F5 and Esc would go nowhere.
    activateWindow();
}

void TfBreak::done(int result) {
    TakeMarks();
    QDialog::done(result);
}

void TfBreak::reject() {
    done(ResultStop);
}

bool TfBreak::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) FormActivate();
    return QDialog::event(event);
}

// Esc continues, also when it reaches the window as a plain key press; a
// dialog's own Esc handling would reject, which here means Stop.
void TfBreak::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        mContinueByEsc->trigger();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfBreak::showEvent(QShowEvent* event) {
    FormActivate();
    QDialog::showEvent(event);
}

bool TfBreak::eventFilter(QObject* watched, QEvent* event) {
    if (watched == oStatusBar && event->type() == QEvent::MouseButtonDblClick) {
        oStatusBarDblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
