// The raw-text box as a view of the receive buffer: text is appended in
// batches at most once per frame, a line longer than kLineChars is shown in
// pieces of that length, and the box holds at most the last kShownChars
// characters, saying so at its top when older text is hidden. Long lines and
// large buffers therefore cost the box no more than an ordinary screenful;
// the buffer itself keeps everything for Add and F5.
#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <QTimer>

class CRawTextView {
public:
    static constexpr qsizetype kShownChars = 256 * 1024;
    static constexpr qsizetype kLineChars = 512;
    static inline const QString kOlderHidden = QStringLiteral(
        "[Older text is hidden: this box shows the last 256 KB. Add and F5 use all of it.]");

    explicit CRawTextView(QPlainTextEdit& box);

    void Append(const QString& text);
    // Shows text instead of what the box holds; older: text is the end of
    // a longer one.
    void Replace(const QString& text, bool older);
    // Puts what waits for the next frame into the box now.
    void Flush();

private:
    QString Broken(const QString& text);
    void DropOldest();

    QPlainTextEdit& m_box;
    QTimer m_frame;
    QString m_strWaiting;
    // Characters shown, the notice left out, and on the last line.
    qsizetype m_nShown = 0;
    qsizetype m_nLastLine = 0;
    bool m_bOlderHidden = false;
};
