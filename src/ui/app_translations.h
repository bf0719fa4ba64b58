#pragma once
// Loading the editor's translation for the user's language at start.

#include <QLocale>
#include <QStringList>

class QCoreApplication;

namespace tessaro {

// Where tessaro_<lang>.qm is looked for, in this order: installed beside the program
// (../share/tessaro/translations), then the build folder (translations/ beside the program).
QStringList translationFolders(const QString& programFolder);

// Installs on `app` the first tessaro_<lang>.qm for `locale` found in `folders`, and Qt's
// own qtbase_<lang>.qm (standard buttons) from Qt's translations folder when it is there.
// True when the editor's translation was found; English needs none and answers false.
bool installTranslations(QCoreApplication& app, const QLocale& locale, const QStringList& folders);

} // namespace tessaro
