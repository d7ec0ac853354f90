#include "windows/break.h"

#include "core/program.h"
#include "core/text_codec.h"
#include "gui/barparts.h"
#include "gui/fonts.h"
#include "gui/infobox.h"
#include "gui/palettes.h"
#include "gui/zoom.h"
#include "windows/globals.h"
#include "windows/input.h"
#include "windows/linelist.h"
#include "windows/machinepane.h"
#include "windows/outputview.h"
#include "windows/run.h"
#include "windows/stacksummary.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace {

constexpr int TabStop = 16;
constexpr int LineHeight = 15;

// Lists every line at the same height, the designed one grown with the
// list's font, whatever the font would ask for. An unchecked line's box is a
// breakpoint one can set: its frame shows in the light palette as well.
class TLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(),
                Grown(LineHeight, option.font)};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem framed = option;
        framed.palette.setColor(QPalette::Window, CheckFrameSource(option.palette));
        QStyledItemDelegate::paint(painter, framed, index);
    }
};

} // namespace

namespace {
const int32_t noRunToLine = 0;
constexpr int StatusHeight = 19;
constexpr QSize DesignedSize(296, 280);
bool machineOpen = false; // the pane's state, for the application's lifetime
} // namespace

// The run window is created before this one; a break window made without one
// (a tool, a test) has no run-to line.
TfBreak::TfBreak(QWidget* parent)
    : QDialog(parent), runToLine_(fRun ? &fRun->RunToLine : &noRunToLine) {
    setObjectName("fBreak");
    setWindowTitle("fBreak");

    oMainMenu = new QMenuBar(this);
    oMainMenu->setObjectName("oMainMenu");
    mContinue = AddBarCommand(oMainMenu, "mContinue", "&Continue (F9)", Qt::Key_F9);
    mNext = AddBarCommand(oMainMenu, "mNext", "&Next (F8)", Qt::Key_F8);
    mStop = AddBarCommand(oMainMenu, "mStop", "&Stop (F5)", Qt::Key_F5);
    mBack = AddBarCommand(oMainMenu, "mBack", "&Back (F7)", Qt::Key_F7);
    mMachine = AddBarCommand(oMainMenu, "mMachine", "&Machine (F2)", Qt::Key_F2);
    mMachine->setCheckable(true);
    mContinueByEsc = new QAction(this);
    mContinueByEsc->setObjectName("mContinueByEsc");
    mContinueByEsc->setShortcut(Qt::Key_Escape);
    addAction(mContinueByEsc);

    connect(mContinue, &QAction::triggered, this, &TfBreak::mContinueClick);
    connect(mContinueByEsc, &QAction::triggered, this, &TfBreak::mContinueClick);
    connect(mNext, &QAction::triggered, this, &TfBreak::mNextClick);
    connect(mStop, &QAction::triggered, this, &TfBreak::mStopClick);
    connect(mBack, &QAction::triggered, this, &TfBreak::mBackClick);
    connect(mMachine, &QAction::triggered, this, &TfBreak::mMachineClick);

    lines_ = new TLineModel(stops_, this);
    oCheckListBox = new QListView(this);
    oCheckListBox->setObjectName("oCheckListBox");
    oCheckListBox->setModel(lines_);
    FollowZoom(oCheckListBox, ProgramFont);
    ZoomByWheel(oCheckListBox);
    oCheckListBox->setUniformItemSizes(true);
    oCheckListBox->setItemDelegate(new TLineDelegate(oCheckListBox));

    oStatusBar = new QStatusBar(this);
    oStatusBar->setObjectName("oStatusBar");
    oStatusBar->setSizeGripEnabled(false);
    FollowZoom(oStatusBar, FormFont);
    oStatusBar->setFixedHeight(Grown(StatusHeight, oStatusBar->font()));
    panels_[0] = AddPanel(oStatusBar, 100, "WR: -2147483648");
    panels_[1] = AddPanel(oStatusBar, 100, "In: -2147483648");
    panels_[2] = AddCuttingPanel(oStatusBar);
    oStatusBar->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(oMainMenu);
    oMachine = new TMachinePane(this);
    oMachine->hide();
    oMachine->installEventFilter(this);
    auto* middle = new QHBoxLayout;
    middle->setSpacing(0);
    middle->addWidget(oCheckListBox, 1);
    middle->addWidget(oMachine);
    layout->addLayout(middle, 1);
    layout->addWidget(oStatusBar);
    InstallZoomKeys(this);
    GrowWindow(*this, DesignedSize);
    ShowMachine(machineOpen);
    SetAccessibility();
}

void TfBreak::SetAccessibility() {
    oCheckListBox->setAccessibleName(
        QStringLiteral("Program lines, checked lines are breakpoints"));
    oCheckListBox->setAccessibleDescription(
        QStringLiteral("The selected line runs next. Space checks or unchecks the selected line."));
    panels_[0]->setAccessibleName(QStringLiteral("Working register"));
    panels_[1]->setAccessibleName(QStringLiteral("Next input"));
    panels_[2]->setAccessibleName(QStringLiteral("Stacks"));
    panels_[2]->setAccessibleDescription(
        QStringLiteral("Each stack's name and size; double-click for all of them"));
}

bool TfBreak::MachineOpen() const {
    return !oMachine->isHidden();
}

void TfBreak::mMachineClick() {
    ShowMachine(!MachineOpen());
}

// The pane widens the window by its own width and gives it back when closed,
// so the list keeps the width the user left it at.
void TfBreak::ShowMachine(bool open) {
    machineOpen = open;
    mMachine->setChecked(open);
    if (open == MachineOpen()) return;
    const int list = ListWidth();
    // Fixed before showing: the pane's minimum width widens the window at once.
    if (open) oMachine->setFixedWidth(PaneWidth(list));
    oMachine->setVisible(open);
    if (open) FormActivate();
    FitWidth(list);
}

// A zoom with the pane open widens or narrows the window by what the pane
// gains or loses, as opening and closing it do.
void TfBreak::RefitMachine() {
    if (!MachineOpen()) return;
    const int list = ListWidth();
    const int pane = PaneWidth(list);
    if (oMachine->minimumWidth() == pane) return;
    oMachine->setFixedWidth(pane);
    FitWidth(list);
}

int TfBreak::ListWidth() const {
    return width() - (MachineOpen() ? oMachine->minimumWidth() : 0);
}

// The designed width, as far as the screen has room for it beside the list;
// at a big zoom the pane narrows before the list falls below half the room.
int TfBreak::PaneWidth(int list) const {
    const int room = ScreenRoom(*this).width();
    return std::max(1, std::min(oMachine->DesignedWidth(), room - std::min(list, room / 2)));
}

// The list at its width beside the pane, within the screen: a window grown
// past the screen's right edge moves left.
void TfBreak::FitWidth(int list) {
    // The window's minimum follows the pane only once the layout has seen it.
    layout()->activate();
    const int pane = MachineOpen() ? oMachine->minimumWidth() : 0;
    resize(std::min(list + pane, std::max(ScreenRoom(*this).width(), minimumWidth())), height());
    const QScreen* shown = screen();
    if (!isVisible() || !shown) return;
    const QRect room = shown->availableGeometry();
    const QRect frame = frameGeometry();
    if (frame.right() > room.right())
        move(std::max(room.left(), x() - (frame.right() - room.right())), y());
}

QString TfBreak::ExpandTabs(const QString& text) {
    if (!text.contains(u'\t')) return text;
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
    static const TRunSource none;
    const TRunSource& source = fRun ? fRun->Source : none;
    setWindowTitle(source.Caption + " - [break]");
    QStringList lines = source.Lines;
    for (QString& line : lines)
        line = ExpandTabs(line);
    lines_->SetLines(std::move(lines));
    oMachine->Forget();
    const int listed = lines_->rowCount();
    for (int j = 0; j < listed; ++j) {
        const QString& line = lines_->Line(j);
        // A line without "<" cannot hold the marker.
        if (line.contains(u'<') &&
            corvane::HoldsBreakMarker(corvane::ToMachineText(line.toStdU16String())))
            SetStopLine(j, true);
    }
}

void TfBreak::SetStopLine(int index, bool mark) {
    if (index < 0 || index >= lines_->rowCount()) return;
    lines_->SetMark(index, mark);
}

QString TfBreak::ListedLine(int row) const {
    return row >= 0 && row < lines_->rowCount() ? lines_->Line(row) : QString();
}

// No glyph is narrower than two pixels, and the panel is never wider than
// the screen.
int TfBreak::SummaryBound() const {
    const QScreen* shown = screen();
    const int width = shown ? shown->virtualGeometry().width() : 4096;
    return std::max(width, 1024) / 2;
}

QString TfBreak::PanelText(int panel) const {
    return panel >= 0 && panel < 3 ? panels_[panel]->text() : QString();
}

void TfBreak::FormActivate() {
    const int row = fRun ? fRun->StopLine - 1 : -1;
    if (row >= 0 && row < lines_->rowCount()) {
        oCheckListBox->setCurrentIndex(lines_->index(row));
        oCheckListBox->scrollTo(lines_->index(row));
    } else {
        oCheckListBox->setCurrentIndex({});
        oCheckListBox->clearSelection();
    }
    panels_[0]->setText("WR: " + SignedText(fRun ? fRun->GetWorkRegister() : 0));
    uint32_t next = 0;
    panels_[1]->setText(
        "In: " + (fInput && fInput->InputList.Peek(next) ? SignedText(next) : QString("EMPTY")));
    panels_[2]->setText(fRun ? StackSummary(*fRun->Prog, SummaryBound()) : QString());
    const uint64_t steps = fRun ? fRun->Prog->Steps : 0;
    mBack->setEnabled(steps > 0);
    // Shown with the pane closed as well, without a panel the window's design
    // has no room for: on hovering the status bar, and to screen readers.
    const QString executed = QStringLiteral("Commands executed: %1").arg(steps);
    setAccessibleDescription(executed);
    oStatusBar->setToolTip(executed);
    // Noted with the pane closed too, so that opening it compares with the
    // pause before.
    if (fRun)
        oMachine->Note(*fRun->Prog, fInput ? &fInput->InputList : nullptr, fRun->oText->Values());
}

void TfBreak::oStatusBarDblClick() {
    QString text = fRun ? StackSummary(*fRun->Prog) : QString();
    text.replace(u';', u'\n');
    ShowInfoBox(this, windowTitle(), text);
    // Without a window manager nobody hands the activation back when the box
    // closes, and F9, F8, F5 and Esc would go nowhere.
    activateWindow();
}

// QDialog::done closes the window, and closing throws its native window away:
// every pause would open a new window, placed anew. Hiding ends the modal
// showing as well and keeps the window.
void TfBreak::done(int result) {
    setResult(result);
    hide();
    Q_EMIT finished(result);
}

void TfBreak::reject() {
    done(ResultStop);
}

// The close box stops the run. The close itself is refused once the window is
// hidden: an accepted close destroys the native window (see done).
void TfBreak::closeEvent(QCloseEvent* event) {
    reject();
    event->ignore();
}

bool TfBreak::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) FormActivate();
    if (event->type() == QEvent::FontChange) GrowWindow(*this, DesignedSize);
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

// Put back where it was last hidden, as an explicit position: a window mapped
// again without one is placed anew by the window manager. Before the first
// showing there is none, and the window manager places the window. (A move()
// to the place the widget already has would not reach the window.)
void TfBreak::setVisible(bool visible) {
    if (visible && placed_ && !isVisible()) {
        if (QWindow* window = windowHandle())
            window->setPosition(place_);
        else
            move(place_);
    }
    QDialog::setVisible(visible);
}

// Not QDialog's showEvent: it centres the window over its parent at every
// showing, at a place computed before the window has a frame (off the
// screen's top for a window that is large or not yet laid out).
//
// Each pause gives the focus to the line about to run, so that a screen
// reader says where the run stopped.
void TfBreak::showEvent(QShowEvent* event) {
    FormActivate();
    oCheckListBox->setFocus();
    QWidget::showEvent(event); // NOLINT(bugprone-parent-virtual-call)
}

void TfBreak::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) {
        place_ = geometry().topLeft(); // the client area's: frames differ
        placed_ = true;
    }
    QDialog::hideEvent(event);
}

bool TfBreak::eventFilter(QObject* watched, QEvent* event) {
    if (watched == oStatusBar && event->type() == QEvent::FontChange)
        oStatusBar->setFixedHeight(Grown(StatusHeight, oStatusBar->font()));
    if (watched == oMachine && event->type() == QEvent::FontChange) RefitMachine();
    if (watched == oStatusBar && event->type() == QEvent::MouseButtonDblClick) {
        oStatusBarDblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
