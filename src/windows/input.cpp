#include "windows/input.h"

#include "core/appstrings.h"
#include "core/host.h"
#include "core/text_codec.h"
#include "gui/crlfpos.h"
#include "gui/errorbox.h"
#include "gui/eventpump.h"
#include "gui/fonts.h"
#include "gui/zoom.h"
#include "windows/editor.h"
#include "windows/globals.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>

#include <utility>

namespace {

// Designed geometry (client coordinates) and the designed frame of the window,
// which the minimum size rule counts in.
constexpr int DesignedClientWidth = 633;
constexpr int DesignedClientHeight = 327;
constexpr int FrameWidth = 641 - DesignedClientWidth;
constexpr int FrameHeight = 351 - DesignedClientHeight;
constexpr int MemoTop = 24;
constexpr int ListHeight = 21;
constexpr QSize ButtonSize(75, 25);

// The input parser's host: only its per-character event passes matter.
class TInputHost final : public corvane::THost {
public:
    void ProcessEvents() override {
        if (pump_.Tick()) ProcessPendingEvents();
    }

private:
    TEventPump pump_;
};

} // namespace

TfInput::TfInput(QWidget* parent) : QDialog(parent) {
    setObjectName("fInput");
    setWindowTitle("fInput");

    oOldInputs = new QComboBox(this);
    oOldInputs->setObjectName("oOldInputs");
    oOldInputs->setEditable(false);
    oOldInputs->setGeometry(0, 0, DesignedClientWidth, ListHeight);
    oOldInputs->setAccessibleName(QStringLiteral("Earlier inputs"));
    oOldInputs->setAccessibleDescription(
        QStringLiteral("Choosing one puts it into the input values"));

    oText = new QPlainTextEdit(this);
    oText->setObjectName("oText");
    FollowZoom(oText, ProgramFont);
    ZoomByWheel(oText);
    oText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    oText->setTabChangesFocus(true);
    oText->setGeometry(0, MemoTop, DesignedClientWidth, 265);
    oText->installEventFilter(this);
    const QString firstUse =
        QStringLiteral("Input values: whole numbers separated by blanks, e.g. 3 -5 12");
    oText->setPlaceholderText(firstUse);
    oText->setAccessibleName(QStringLiteral("Input values"));
    oText->setAccessibleDescription(firstUse);

    oOkButton = new QPushButton("OK", this);
    oOkButton->setObjectName("oOkButton");
    oOkButton->setDefault(true);
    oOkButton->setGeometry(QRect(QPoint(472, 296), ButtonSize));

    oCancelButton = new QPushButton("Cancel", this);
    oCancelButton->setObjectName("oCancelButton");
    oCancelButton->setGeometry(QRect(QPoint(552, 296), ButtonSize));

    setTabOrder(oText, oOkButton);
    setTabOrder(oOkButton, oCancelButton);
    setTabOrder(oCancelButton, oOldInputs);

    // An error in the handler ends it in the top-level box; the dialog stays.
    connect(oOkButton, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { oOkButtonClick(); }); });
    connect(oCancelButton, &QPushButton::clicked, this, &TfInput::reject);
    // Only an explicit choice puts an earlier input back into the memo:
    // browsing the closed list (wheel, arrow keys) changes what it shows alone.
    oOldInputs->installEventFilter(this);
    oOldInputs->view()->parentWidget()->installEventFilter(this); // the opened list
    connect(oOldInputs, &QComboBox::activated, this, [this](int index) {
        if (std::exchange(explicitChoice_, false)) ChooseOldInput(index);
    });

    InstallZoomKeys(this);
    FitToFont();
    GrowWindow(*this, {DesignedClientWidth, DesignedClientHeight});
}

// The drop-down, the buttons and the minimum keep their designed sizes, grown
// with a bigger font; the dialog's own size is the user's after the first.
void TfInput::FitToFont() {
    const QFont& shown = font();
    oOldInputs->resize(oOldInputs->width(), Grown(ListHeight, shown));
    oOkButton->resize(Grown(ButtonSize, shown));
    oCancelButton->resize(Grown(ButtonSize, shown));
    // Refuses sizes below the rule's outer minimum (two buttons + 50 wide,
    // OK + drop-down + 80 high), expressed for the client area.
    setMinimumSize(Grown(ButtonSize.width() * 2 + 50, shown) - FrameWidth,
                   Grown(ButtonSize.height() + ListHeight + 80, shown) - FrameHeight);
    FormResize();
}

void TfInput::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::FontChange) return;
    FitToFont();
    GrowWindow(*this, {DesignedClientWidth, DesignedClientHeight});
}

QString TfInput::InputText() const {
    QString text = oText->toPlainText();
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

void TfInput::oOkButtonClick() {
    if (parsing_) return;
    const QString text = InputText();
    TInputHost host;
    parsing_ = true;
    std::size_t bad = 0;
    try {
        bad = InputList.Parse(corvane::ToMachineText(text.toStdU16String()), &host);
    } catch (...) {
        parsing_ = false;
        throw;
    }
    parsing_ = false;
    if (!isVisible()) return; // cancelled during the parse's event passes
    if (bad != 0) {
        ShowError(corvane::sBadCharacter);
        SelectCrlfChar(static_cast<int>(bad) - 1);
        // Without a window manager nobody hands the activation back when the
        // box closes, and the memo would not get the user's keys.
        activateWindow();
        oText->setFocus();
        return;
    }
    Remember(oText->toPlainText());
    done(ResultAccepted);
}

void TfInput::reject() {
    done(ResultCancelled);
}

// The closed drop-down shows one line: an entry keeps its exact text as its
// data and shows it with its line breaks as blanks. A text of blanks alone
// would be a blank entry and holds no value: it is not kept.
void TfInput::Remember(const QString& text) {
    if (text.trimmed().isEmpty() || oOldInputs->findData(text) >= 0) return;
    QString shown = text;
    shown.replace(u'\n', u' ');
    oOldInputs->addItem(shown, text);
}

QString TfInput::OldInput(int index) const {
    return oOldInputs->itemData(index).toString();
}

// One edit of the memo, so that Undo brings back what it replaced.
void TfInput::ChooseOldInput(int index) {
    const QString text = OldInput(index);
    if (index < 0 || text == oText->toPlainText()) return;
    QTextCursor cursor(oText->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(text);
    cursor.endEditBlock();
    oText->setTextCursor(cursor);
    oText->setFocus();
}

void TfInput::SelectCrlfChar(int crlfPos) {
    const QString plain = oText->toPlainText();
    const int start = CrlfToDoc(plain, crlfPos);
    const TSpan whole =
        WholeCharacters(plain, {start, std::min(start + 1, static_cast<int>(plain.size()))});
    QTextCursor cursor(oText->document());
    cursor.setPosition(whole.Start);
    cursor.setPosition(whole.End, QTextCursor::KeepAnchor);
    oText->setTextCursor(cursor);
}

void TfInput::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    setWindowTitle((fMain ? fMain->Caption() : QString()) + " - [input]");
    oText->setFocus();
}

void TfInput::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    FormResize();
}

void TfInput::FormResize() {
    const int w = width();
    const int h = height();
    oOldInputs->setGeometry(0, 0, w, oOldInputs->height());
    const int memoTop = Grown(MemoTop, font());
    oText->setGeometry(0, memoTop, w, h - memoTop - oOkButton->height() - 12);
    oOkButton->move(w - oCancelButton->width() - oOkButton->width() - 14,
                    h - oOkButton->height() - 6);
    oCancelButton->move(w - oCancelButton->width() - 8, h - oCancelButton->height() - 6);
}

bool TfInput::IsEnter(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// What the opened list reports is a choice (a click or Enter in it); the
// closed drop-down only browses, except that Enter chooses what it shows.
bool TfInput::OldInputsEvent(QObject* watched, QEvent* event) {
    if (watched != oOldInputs) {
        if (event->type() == QEvent::Show) explicitChoice_ = true;
        return false;
    }
    if (event->type() == QEvent::Wheel || event->type() == QEvent::KeyPress)
        explicitChoice_ = false;
    if (!IsEnter(event)) return false;
    ChooseOldInput(oOldInputs->currentIndex());
    return true;
}

// Enter alone in the memo presses the default button instead of breaking the line.
bool TfInput::eventFilter(QObject* watched, QEvent* event) {
    if (watched == oOldInputs || watched == oOldInputs->view()->parentWidget())
        return OldInputsEvent(watched, event) || QDialog::eventFilter(watched, event);
    if (watched == oText && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const auto mods = key->modifiers() & ~Qt::KeypadModifier;
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            mods == Qt::NoModifier) {
            oOkButton->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
