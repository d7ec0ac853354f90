// The run window's output: one blank-separated row of numbers, wrapped.
#pragma once

#include <QPlainTextEdit>

#include <cstdint>

// Appending to one ever-growing wrapped paragraph relays out the whole
// paragraph on every change, which makes long outputs quadratic. This view
// keeps the output text itself and wraps it on its own, one document block
// per screen line, so that showing new values lays out only the last line.
// The block separators are layout only: Text(), copying and dragging give
// the output without them.
//
// Append() is cheap and shows nothing; Flush() shows what was appended since.
class TOutputView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TOutputView(QWidget* parent = nullptr);

    void Clear();
    void Append(uint32_t value); // signed decimal and one blank
    void Flush();
    bool Pending() const { return shown_ < text_.size(); }

    const QString& Text() const { return text_; }

    // The output a run may print, in characters. The text and its wrapped
    // copy take some tens of bytes per value, so an endless printing loop is
    // stopped at this bound instead of eating all memory.
    static constexpr qsizetype DefaultCapacity = qsizetype{1} << 25;
    void SetCapacity(qsizetype characters) { capacity_ = characters; }
    bool Full() const { return text_.size() >= capacity_; }

protected:
    QMimeData* createMimeDataFromSelection() const override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    qreal WordWidth(QStringView word) const;
    qreal AvailableWidth() const;
    void Rewrap();

    QString text_;         // the whole output
    qsizetype shown_ = 0;  // characters of text_ already in the document
    qreal lineWidth_ = 0;  // width taken on the last screen line
    qreal wrapWidth_ = -1; // the width the shown part was wrapped for
    qreal charWidth_[128] = {};
    qsizetype capacity_ = DefaultCapacity;
};
