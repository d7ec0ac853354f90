#include "windows/guide.h"

#include "core/appstrings.h"
#include "gui/colours.h"
#include "gui/fonts.h"
#include "gui/guidesource.h"
#include "gui/zoom.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessibleWidget>
#include <QBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QUrl>

#include <vector>

namespace {

bool IsHeading(const QTextBlock& block) {
    return block.blockFormat().headingLevel() > 0;
}

bool IsMessagesHeading(const QTextBlock& block) {
    return block.blockFormat().headingLevel() == 2 && block.text() == QStringLiteral("Messages");
}

// The first heading before the Messages section whose text matches.
QTextBlock FindHeading(const QTextDocument& doc, const QRegularExpression& pattern) {
    for (QTextBlock block = doc.begin(); block.isValid() && !IsMessagesHeading(block);
         block = block.next())
        if (IsHeading(block) && pattern.match(block.text()).hasMatch()) return block;
    return {};
}

// The Markdown reader gives code its own fixed font size; without it code
// follows the browser's font, and so the zoom, like the rest of the text.
void CodeFollowsTextSize(QTextDocument& doc) {
    struct TRange {
        int Start;
        int End;
        QTextCharFormat Format;
    };
    std::vector<TRange> ranges;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextCharFormat format = fragment.charFormat();
            if (!format.hasProperty(QTextFormat::FontPointSize)) continue;
            format.clearProperty(QTextFormat::FontPointSize);
            ranges.push_back(
                {fragment.position(), fragment.position() + fragment.length(), format});
        }
    QTextCursor cursor(&doc);
    for (const TRange& range : ranges) {
        cursor.setPosition(range.Start);
        cursor.setPosition(range.End, QTextCursor::KeepAnchor);
        cursor.setCharFormat(range.Format);
    }
}

// The Markdown reader writes the link colour of the palette at hand into the
// text; a later palette needs it written again.
void ColourLinks(QTextDocument& doc, const QColor& colour) {
    std::vector<std::pair<int, int>> links;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isAnchor())
                links.emplace_back(it.fragment().position(),
                                   it.fragment().position() + it.fragment().length());
    QTextCharFormat format;
    format.setForeground(colour);
    QTextCursor cursor(&doc);
    for (const auto& [start, end] : links) {
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(format);
    }
}

// A plain widget reads to a screen reader as a bare part of a window (a
// filler): the guide's window reads as the window it is, by its title.
QAccessibleInterface* GuideAccessible(const QString& className, QObject* object) {
    if (className != QLatin1String("TfGuide") || !object || !object->isWidgetType()) return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
}

} // namespace

TfGuide::TfGuide(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("fGuide"));
    static const bool accessible = [] {
        QAccessible::installFactory(GuideAccessible);
        return true;
    }();
    (void)accessible;
    setWindowTitle(QStringLiteral("Language Guide - ") +
                   QString::fromUtf8(corvane::Str(corvane::sProduct)));
    CreateControls();
    CreateShortcuts();
    GrowWindow(*this, {640, 720});
}

void TfGuide::CreateControls() {
    oSearch = new QLineEdit(this);
    oSearch->setObjectName(QStringLiteral("oSearch"));
    oSearch->setPlaceholderText(QStringLiteral("Search (Ctrl+F)"));
    oSearch->setClearButtonEnabled(true);
    oSearch->setAccessibleName(QStringLiteral("Search the guide"));
    oSearch->setAccessibleDescription(
        QStringLiteral("Enter or F3 finds the next match, Shift+F3 the one before"));
    oSearchState = new QLabel(this);
    oSearchState->setObjectName(QStringLiteral("oSearchState"));
    QFont bold; // bold alone: the size stays the application's, as it changes
    bold.setBold(true);
    oSearchState->setFont(bold);

    oBrowser = new QTextBrowser(this);
    oBrowser->setObjectName(QStringLiteral("oBrowser"));
    oBrowser->setOpenLinks(false);
    oBrowser->setAccessibleName(QStringLiteral("Language guide"));
    oBrowser->setMarkdown(GuideMarkdown());
    CodeFollowsTextSize(*oBrowser->document());
    // Follows the application's zoom; the paragraph at the top of the view
    // stays there.
    oBrowser->installEventFilter(this);
    FollowZoom(oBrowser, FormFont);
    ZoomByWheel(oBrowser);
    ColourLinks(*oBrowser->document(), palette().color(QPalette::Link));
    oBrowser->setFocus(); // the keys scroll the guide until Ctrl+F

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(oSearch, 1);
    searchRow->addWidget(oSearchState);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addWidget(oBrowser, 1);

    connect(oBrowser, &QTextBrowser::anchorClicked, this, &TfGuide::oBrowserAnchorClicked);
    connect(oSearch, &QLineEdit::returnPressed, this, [this] { FindNext(); });
    connect(oSearch, &QLineEdit::textEdited, this, [this] { ShowFound(true); });
}

void TfGuide::CreateShortcuts() {
    auto add = [this](const QKeySequence& keys, auto slot) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    add(QKeySequence(Qt::CTRL | Qt::Key_F), [this] {
        oSearch->setFocus();
        oSearch->selectAll();
    });
    add(QKeySequence(Qt::Key_F3), [this] { FindNext(false); });
    add(QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { FindNext(true); });
    InstallZoomKeys(this);
    add(QKeySequence(Qt::Key_Escape), [this] { close(); });
}

void TfGuide::ShowTopic(const QString& keyword) {
    show();
    raise();
    activateWindow();
    if (!keyword.isEmpty()) ScrollToHeading(keyword);
}

// A keyword's section: the first heading starting with the keyword, else the
// first holding it as a word (ELSE is in IF's heading). Matched in its case,
// so "Input and output" is not INPUT's; the Messages section is not searched,
// its headings being the messages' texts ("ELSE or end of line expected ...").
void TfGuide::ScrollToHeading(const QString& keyword) {
    const QTextDocument& doc = *oBrowser->document();
    const QString word = QRegularExpression::escape(keyword);
    const QRegularExpression starts(QStringLiteral("^") + word + QStringLiteral("\\b"));
    const QRegularExpression holds(QStringLiteral("\\b") + word + QStringLiteral("\\b"));
    QTextBlock block = FindHeading(doc, starts);
    if (!block.isValid()) block = FindHeading(doc, holds);
    if (!block.isValid()) return;
    oBrowser->setTextCursor(QTextCursor(block));
    const QRectF rect = doc.documentLayout()->blockBoundingRect(block);
    oBrowser->verticalScrollBar()->setValue(int(rect.top()));
}

QString TfGuide::TopHeading() const {
    const QTextDocument& doc = *oBrowser->document();
    const qreal top = oBrowser->verticalScrollBar()->value() + doc.documentMargin() + 1;
    QString heading;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (doc.documentLayout()->blockBoundingRect(block).top() > top) break;
        if (IsHeading(block)) heading = block.text();
    }
    return heading;
}

bool TfGuide::FindNext(bool backward) {
    const QString text = oSearch->text();
    if (text.isEmpty()) {
        ShowFound(true);
        return false;
    }
    const QTextDocument::FindFlags flags =
        backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    bool found = oBrowser->find(text, flags);
    if (!found) {
        // Round the end: start again from the other end of the guide.
        const QTextCursor kept = oBrowser->textCursor();
        oBrowser->moveCursor(backward ? QTextCursor::End : QTextCursor::Start);
        found = oBrowser->find(text, flags);
        if (!found) oBrowser->setTextCursor(kept);
    }
    ShowFound(found);
    return found;
}

void TfGuide::ShowFound(bool found) {
    oSearchState->setText(found ? QString() : QStringLiteral("Not found"));
    if (found) {
        oSearch->setPalette(QPalette()); // back to the window's own colours
        return;
    }
    // Only the text colour is the field's own; the rest follows the window.
    QPalette palette;
    palette.setColor(QPalette::Text, ErrorColour(this->palette()));
    oSearch->setPalette(palette);
}

void TfGuide::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange ||
        event->type() == QEvent::ApplicationPaletteChange) {
        ShowFound(oSearchState->text().isEmpty());
        // The window's palette: the browser's own may not have followed yet.
        ColourLinks(*oBrowser->document(), palette().color(QPalette::Link));
    }
}

void TfGuide::ScrollToParagraph(int position) {
    const QTextDocument& doc = *oBrowser->document();
    const QTextBlock top = doc.findBlock(position);
    if (top.isValid() && position > 0)
        oBrowser->verticalScrollBar()->setValue(
            int(doc.documentLayout()->blockBoundingRect(top).top()));
}

void TfGuide::oBrowserAnchorClicked(const QUrl& url) {
    if (url.scheme() == QStringLiteral("example")) {
        Q_EMIT ExampleRequested(url.path());
        return;
    }
    if (url.hasFragment() && url.path().isEmpty()) oBrowser->scrollToAnchor(url.fragment());
}

// A new font (the zoom) keeps the paragraph at the top of the view there: it
// is taken before the browser lays its text out in the new font, and
// scrolled back to once it has.
bool TfGuide::eventFilter(QObject* watched, QEvent* event) {
    if (watched == oBrowser && event->type() == QEvent::FontChange) {
        const int top = oBrowser->cursorForPosition(QPoint(0, 0)).position();
        static_cast<QObject*>(oBrowser)->event(event);
        ScrollToParagraph(top);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
