#include "ui/core_text.h"

#include <QCoreApplication>

namespace tessaro {

namespace {

bool translated(QStringView source, QString* out)
{
    const QByteArray utf8 = source.toUtf8();
    const QString result = QCoreApplication::translate(kCoreTextContext, utf8.constData());
    if (result == source)
        return false;
    *out = result;
    return true;
}

bool isWordChar(QChar c) { return c.isLetterOrNumber(); }

// Pieces are cut only between a word and what is not a word.
bool isCut(QStringView text, qsizetype at)
{
    return at == 0 || at == text.size() || !isWordChar(text[at - 1]) || !isWordChar(text[at]);
}

bool startsLine(QStringView text, qsizetype at) { return at == 0 || text.sliced(0, at).endsWith(u"\r\n"); }

bool endsLine(QStringView text, qsizetype at) { return at == text.size() || text.sliced(at).startsWith(u"\r\n"); }

// A text joined to others ("Error reading " + path) carries its own space or punctuation at
// the joint; a plain word or sentence is only taken for a whole line, so a folder called
// "Error" inside a path stays as it is.
bool isPiece(QStringView piece)
{
    return !isWordChar(piece.front()) || !isWordChar(piece.back());
}

} // namespace

QString coreText(const std::string& text)
{
    const QString source = QString::fromStdString(text);
    QString result;
    if (source.isEmpty() || translated(source, &result))
        return source.isEmpty() ? source : result;
    // Left to right, the longest known text at each cut; what is not known is copied.
    const QStringView view(source);
    result.clear();
    qsizetype copiedFrom = 0;
    qsizetype at = 0;
    while (at < view.size()) {
        if (!isCut(view, at)) {
            ++at;
            continue;
        }
        qsizetype end = view.size();
        QString piece;
        for (; end > at; --end) {
            if (!isCut(view, end))
                continue;
            const QStringView candidate = view.sliced(at, end - at);
            const bool wholeLine = startsLine(view, at) && endsLine(view, end);
            if ((wholeLine || isPiece(candidate)) && translated(candidate, &piece))
                break;
        }
        if (end > at) {
            result += view.sliced(copiedFrom, at - copiedFrom);
            result += piece;
            at = copiedFrom = end;
        } else {
            ++at;
        }
    }
    result += view.sliced(copiedFrom);
    return result;
}

} // namespace tessaro
