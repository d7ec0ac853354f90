// The language guide's window: the guide rendered by Qt's text browser and a
// search field; its text follows the application's zoom. Not modal; made
// once and kept while the program runs.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QTextBrowser;
class QUrl;

class TfGuide : public QWidget {
    Q_OBJECT
public:
    explicit TfGuide(QWidget* parent = nullptr);

    QTextBrowser* oBrowser = nullptr;
    QLineEdit* oSearch = nullptr;
    QLabel* oSearchState = nullptr; // "Not found" after a search that found nothing

    // Shows the window at the first heading that starts with `keyword` (or,
    // failing that, holds it as a word); where it was for an empty keyword.
    void ShowTopic(const QString& keyword);

    // Selects the next (or previous) place of the search text, going round
    // the end of the guide; false, and the not-found state, when there is none.
    bool FindNext(bool backward = false);

    // The text of the heading at the top of the view (tests, the user's view).
    QString TopHeading() const;

Q_SIGNALS:
    // A link "example:NAME" was clicked.
    void ExampleRequested(const QString& name);

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void CreateShortcuts();
    void oBrowserAnchorClicked(const QUrl& url);
    void ShowFound(bool found);
    void ScrollToHeading(const QString& keyword);
    void ScrollToParagraph(int position);
};
