#include "ui/mnemonics.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QString>

namespace tessaro {

QChar mnemonicOf(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&'))
            continue;
        if (caption[i + 1] != QLatin1Char('&'))
            return caption[i + 1].toLower();
        ++i; // "&&" is a plain ampersand
    }
    return {};
}

QString withoutMnemonics(const QString& caption)
{
    QString shown;
    shown.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && ++i == caption.size())
            break;
        shown += caption[i];
    }
    return shown;
}

void giveMnemonics(QWidget& window)
{
    QSet<QChar> taken;
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>())
        if (const QChar c = mnemonicOf(button->text()); !c.isNull())
            taken.insert(c);
    for (const QLabel* label : window.findChildren<QLabel*>())
        if (const QChar c = mnemonicOf(label->text()); !c.isNull())
            taken.insert(c);
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        QString caption = button->text();
        if (caption.isEmpty() || !mnemonicOf(caption).isNull())
            continue;
        // A free letter if there is one; else the first, shared: Alt then moves between the
        // buttons that share it.
        qsizetype at = -1;
        for (qsizetype i = 0; i < caption.size(); ++i) {
            const QChar c = caption[i].toLower();
            if (!c.isLetterOrNumber())
                continue;
            if (at < 0)
                at = i;
            if (!taken.contains(c)) {
                at = i;
                break;
            }
        }
        if (at < 0)
            continue;
        taken.insert(caption[at].toLower());
        caption.insert(at, QLatin1Char('&'));
        button->setText(caption);
    }
}

} // namespace tessaro
