#include "ui/named_action.h"

#include <QAction>

namespace tessaro {

QAction* makeAction(QObject* owner, const char* name, const QString& text)
{
    auto* a = new QAction(text, owner);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

} // namespace tessaro
