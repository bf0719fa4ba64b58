#include "ui/file_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QStringList>

#include "ui/core_text.h"

namespace tessaro {

std::string QtFileDialogs::qtFilter(const std::string& filter)
{
    const QStringList parts = coreText(filter).split(QLatin1Char('|'));
    QStringList lines;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns)
            if (p == QLatin1String("*.*"))
                p = QStringLiteral("*");
        lines << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return lines.join(QStringLiteral(";;")).toStdString();
}

namespace {

QString startPath(const FileDialogRequest& request)
{
    const QString folder = QString::fromStdString(request.folder);
    const QString name = QString::fromStdString(request.fileName);
    if (folder.isEmpty())
        return name;
    return name.isEmpty() ? folder : QDir(folder).filePath(name);
}

} // namespace

std::string QtFileDialogs::openFile(const FileDialogRequest& request)
{
    // QFileDialog::getOpenFileName only returns files that exist.
    const QString path = QFileDialog::getOpenFileName(
        parent_, coreText(request.title), startPath(request),
        QString::fromStdString(qtFilter(request.filter)));
    return path.toStdString();
}

std::string QtFileDialogs::saveFile(const FileDialogRequest& request)
{
    const QString path = QFileDialog::getSaveFileName(
        parent_, coreText(request.title), startPath(request),
        QString::fromStdString(qtFilter(request.filter)));
    return path.toStdString();
}

} // namespace tessaro
