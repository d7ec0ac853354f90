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
};
