#include "gui/explanations.h"

#include "gui/guidesource.h"

#include <QRegularExpression>
#include <QStringList>

#include <vector>

namespace {

struct TExplanation {
    QRegularExpression Message; // the heading, its N standing for any number
    QString Text;
};

bool IsHeading(const QString& line, int level) {
    const QString marks(level, u'#');
    return line.startsWith(marks + u' ') || line == marks;
}

// The heading's text as a pattern of the whole message: every N that stands as
// a word of its own is a number that the program fills in when it shows the
// message.
QRegularExpression HeadingPattern(const QString& heading) {
    static const QRegularExpression number(QStringLiteral("\\bN\\b"));
    QStringList parts = heading.split(number);
    for (QString& part : parts)
        part = QRegularExpression::escape(part);
    return QRegularExpression(QStringLiteral("^") + parts.join(QStringLiteral("-?[0-9]+")) +
                              QStringLiteral("$"));
}

// Markdown's marks as the guide uses them in prose: strong emphasis, code
// spans and links (their text stays).
QString PlainText(QString text) {
    static const QRegularExpression link(QStringLiteral("\\[([^\\]]*)\\]\\([^)]*\\)"));
    text.replace(link, QStringLiteral("\\1"));
    text.remove(QStringLiteral("**"));
    text.remove(u'`');
    return text;
}

// The paragraphs under one heading, each joined into one line.
QString Paragraphs(const QStringList& lines) {
    QStringList paragraphs;
    QStringList current;
    auto close = [&] {
        if (!current.isEmpty()) paragraphs << PlainText(current.join(u' '));
        current.clear();
    };
    for (const QString& line : lines) {
        if (line.trimmed().isEmpty())
            close();
        else
            current << line.trimmed();
    }
    close();
    return paragraphs.join(QStringLiteral("\n\n"));
}

std::vector<TExplanation> ParseMessages(const QString& guide) {
    std::vector<TExplanation> result;
    QString heading;
    QStringList body;
    auto close = [&] {
        if (!heading.isEmpty()) result.push_back({HeadingPattern(heading), Paragraphs(body)});
        heading.clear();
        body.clear();
    };
    bool inMessages = false;
    for (QString line : guide.split(u'\n')) {
        if (line.endsWith(u'\r')) line.chop(1);
        if (IsHeading(line, 1) || IsHeading(line, 2)) {
            close();
            inMessages = line.mid(2).trimmed() == QStringLiteral("Messages");
        } else if (!inMessages) {
            continue;
        } else if (IsHeading(line, 3)) {
            close();
            heading = line.mid(4).trimmed();
        } else if (!heading.isEmpty()) {
            body << line;
        }
    }
    close();
    return result;
}

QString Lookup(const std::vector<TExplanation>& table, const QString& message) {
    const QString wanted = message.trimmed();
    if (wanted.isEmpty()) return {};
    for (const TExplanation& entry : table)
        if (entry.Message.match(wanted).hasMatch()) return entry.Text;
    return {};
}

} // namespace

QString MessageExplanation(const QString& message) {
    static const std::vector<TExplanation> table = ParseMessages(GuideMarkdown());
    return Lookup(table, message);
}

QString MessageExplanationIn(const QString& guide, const QString& message) {
    return Lookup(ParseMessages(guide), message);
}
