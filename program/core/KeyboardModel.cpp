#include "program/core/KeyboardModel.h"

#include "platform/Cp1252.h"

#include <algorithm>

QChar KeyboardModel::charOfCode(int code)
{
    return plat::Cp1252::decodeChar(static_cast<unsigned char>(code));
}

QString KeyboardModel::keyCaption(int code)
{
    const QChar c = charOfCode(code);
    return c == QLatin1Char('&') ? QStringLiteral("&&") : QString(c);
}

KeyboardModel::KeyboardModel(QString text, int caret, int maxLength)
    : m_text(std::move(text)), m_caret(std::clamp(caret, 0, int(m_text.size()))), m_maxLength(std::max(0, maxLength))
{
}

bool KeyboardModel::lineBreakAt(int pos) const
{
    return pos >= 0 && pos + 1 < m_text.size() && m_text[pos] == QLatin1Char('\r')
        && m_text[pos + 1] == QLatin1Char('\n');
}

bool KeyboardModel::insert(const QString& s)
{
    // A text box holds no more than its maximum length: refuse rather than
    // let the box cut off the end of the text.
    if (m_maxLength > 0 && m_text.size() + s.size() > m_maxLength)
        return false;
    m_text.insert(m_caret, s);
    m_caret += int(s.size());
    return true;
}

void KeyboardModel::press(Key key)
{
    const int p = m_caret;
    const int len = int(m_text.size());
    switch (key) {
    case Home:
        m_caret = 0;
        break;
    case Left:
        // Passing a line feed takes one more step: a line break goes as one.
        if (p >= 1) {
            m_caret = p - 1;
            if (m_text[p - 1] == QLatin1Char('\n') && m_caret >= 1)
                m_caret -= 1;
        }
        break;
    case Right:
        // Passing a carriage return takes one more step. At the very start
        // only a whole line break does, so that a following insertion never
        // splits it.
        if (p < len) {
            m_caret = p + 1;
            if (m_text[p] == QLatin1Char('\r') && m_caret < len && (p >= 1 || lineBreakAt(p)))
                m_caret += 1;
        }
        break;
    case End:
        m_caret = len;
        break;
    case Backspace:
        // A carriage return left before the caret goes too: a line break is
        // deleted as one.
        if (p >= 1) {
            const int n = p >= 2 && m_text[p - 2] == QLatin1Char('\r') ? 2 : 1;
            m_text.remove(p - n, n);
            m_caret = p - n;
        }
        break;
    case Delete:
        if (p < len)
            m_text.remove(p, lineBreakAt(p) ? 2 : 1);
        break;
    case Clear:
        m_text.clear();
        m_caret = 0;
        break;
    case Space:
        insert(QStringLiteral(" "));
        break;
    }
}
