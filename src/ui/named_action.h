#pragma once
// Actions the windows' tests and translations find by a readable object name.

class QAction;
class QObject;
class QString;

namespace tessaro {

// An action named `name` (its object name) showing `text`, owned by `owner`.
QAction* makeAction(QObject* owner, const char* name, const QString& text);

} // namespace tessaro
