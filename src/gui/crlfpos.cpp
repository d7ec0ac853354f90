#include "gui/crlfpos.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace {

// The document's last position (the end of its last block).
int DocEnd(const QTextDocument& doc) {
    return std::max(0, doc.characterCount() - 1);
}

// CR LF position of the start of block number `n`.
int CrlfStartOf(const QTextDocument& doc, int n) {
    return doc.findBlockByNumber(n).position() + n;
}

} // namespace

int DocToCrlf(const QTextDocument& doc, int docPos) {
    docPos = std::clamp(docPos, 0, DocEnd(doc));
    return docPos + doc.findBlock(docPos).blockNumber();
}

int CrlfToDoc(const QTextDocument& doc, int crlfPos) {
    if (crlfPos <= 0) return 0;
    // The last block whose CR LF start is at or before crlfPos; the starts grow
    // strictly with the block number, so a binary search finds it.
    int low = 0;
    int high = doc.blockCount() - 1;
    while (low < high) {
        const int mid = low + (high - low + 1) / 2;
        if (CrlfStartOf(doc, mid) <= crlfPos)
            low = mid;
        else
            high = mid - 1;
    }
    const QTextBlock block = doc.findBlockByNumber(low);
    const int lineEnd = block.position() + block.length() - 1;
    return std::min(crlfPos - low, lineEnd);
}

int DocToCrlf(QStringView plain, int docPos) {
    docPos = std::clamp(docPos, 0, static_cast<int>(plain.size()));
    return docPos + static_cast<int>(plain.first(docPos).count(u'\n'));
}

int CrlfToDoc(QStringView plain, int crlfPos) {
    if (crlfPos <= 0) return 0;
    int crlf = 0;
    for (int i = 0; i < plain.size(); ++i) {
        const int width = plain[i] == u'\n' ? 2 : 1;
        if (crlfPos < crlf + width) return i;
        crlf += width;
    }
    return static_cast<int>(plain.size());
}
