#include "app/raw_text_view.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

namespace {
constexpr int kFrameMs = 40;
// A fast line fills a frame with more than the box takes in at once without
// stalling; so much waiting text goes in at once.
constexpr qsizetype kFlushChars = 32 * 1024;
}  // namespace

CRawTextView::CRawTextView(QPlainTextEdit& box) : m_box(box) {
    m_frame.setSingleShot(true);
    m_frame.setInterval(kFrameMs);
    QObject::connect(&m_frame, &QTimer::timeout, &m_box, [this] { Flush(); });
}

void CRawTextView::Append(const QString& text) {
    m_strWaiting += Broken(text);
    if (m_strWaiting.size() >= kFlushChars) {
        Flush();
    } else if (!m_frame.isActive()) {
        m_frame.start();
    }
}

// Breaks lines longer than kLineChars; m_nLastLine follows the text.
QString CRawTextView::Broken(const QString& text) {
    QString broken;
    broken.reserve(text.size() + text.size() / kLineChars + 1);
    for (const QChar c : text) {
        if (c == u'\n') {
            m_nLastLine = 0;
        } else if (m_nLastLine == kLineChars) {
            broken += u'\n';
            m_nLastLine = 0;
        }
        if (c != u'\n') {
            ++m_nLastLine;
        }
        broken += c;
    }
    return broken;
}

void CRawTextView::Flush() {
    m_frame.stop();
    if (m_strWaiting.isEmpty()) {
        return;
    }
    QString text;
    text.swap(m_strWaiting);
    m_nShown += text.size();
    m_box.moveCursor(QTextCursor::End);
    m_box.insertPlainText(text);
    if (m_nShown > kShownChars) {
        DropOldest();
    }
    m_box.moveCursor(QTextCursor::End);
    m_box.ensureCursorVisible();
}

// Removes whole lines from the top, below the notice, until the box holds
// no more than kShownChars.
void CRawTextView::DropOldest() {
    QTextDocument& document = *m_box.document();
    QTextBlock block = document.begin();
    if (m_bOlderHidden) {
        block = block.next();
    }
    const int from = block.position();
    int to = from;
    while (block.isValid() && m_nShown > kShownChars && block.next().isValid()) {
        m_nShown -= block.length();
        to += block.length();
        block = block.next();
    }
    QTextCursor cursor(&document);
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    if (!m_bOlderHidden) {
        cursor.setPosition(0);
        cursor.insertText(kOlderHidden + u'\n');
        m_bOlderHidden = true;
    }
}

void CRawTextView::Replace(const QString& text, bool older) {
    m_frame.stop();
    m_strWaiting.clear();
    m_nLastLine = 0;
    const QString broken = Broken(text);
    m_nShown = broken.size();
    m_bOlderHidden = older;
    m_box.setPlainText(older ? kOlderHidden + u'\n' + broken : broken);
    m_box.moveCursor(QTextCursor::End);
    m_box.ensureCursorVisible();
}
