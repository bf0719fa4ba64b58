// The main window's menus-as-text commands: export the open menu as its JSON description,
// import one, and compare the open menu with a file or with the phone's menu.
#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>

#include "core/open_menu.h"
#include "session/editor_session.h"
#include "ui/core_text.h"
#include "ui/differences_window.h"
#include "ui/file_dialogs.h"
#include "ui/item_summary_view.h"
#include "ui/main_commands.h"
#include "ui/main_window.h"
#include "ui/menu_tree_model.h"
#include "ui/menu_tree_view.h"

namespace tessaro {

namespace {

const char* const kTextFilter = QT_TRANSLATE_NOOP("Core", "Menu text (*.json)|*.json|All Files (*.*)|*.*");
const char* const kCompareFilter = QT_TRANSLATE_NOOP("Core", "All Files (*.*)|*.*");

} // namespace

void MainWindow::textActionsChanged()
{
    commands_->exportTextAction()->setEnabled(document_.isOpen());
    commands_->compareFileAction()->setEnabled(document_.isOpen());
    commands_->comparePhoneAction()->setEnabled(document_.isOpen() && ctx_.link.connected);
}

void MainWindow::exportText()
{
    if (!document_.isOpen())
        return;
    std::string path = files_.saveFile({QT_TRANSLATE_NOOP("Core", "Export as text..."), kTextFilter, {}, {}});
    if (path.empty())
        return;
    // A name without an extension gets the one Import text's filter shows.
    if (QFileInfo(QString::fromStdString(path)).suffix().isEmpty())
        path += ".json";
    if (const Status written = menu_.exportText(path); !written)
        showFailure(written.failure());
    else
        statusBar()->showMessage(tr("Menu text written to %1").arg(QString::fromStdString(path)), 5000);
}

void MainWindow::importText()
{
    if (!confirmUnsavedChanges())
        return;
    const std::string path = files_.openFile({QT_TRANSLATE_NOOP("Core", "Import text..."), kTextFilter, {}, {}});
    if (path.empty())
        return;
    if (const Status imported = menu_.importText(path); !imported) {
        showFailure(imported.failure());
        return;
    }
    summary_->hide();
    showProfileState();
    tree_->selectNode(ctx_.menu.document.menuRoot());
    tree_->expand(model_->indexOfNode(ctx_.menu.document.menuRoot()));
}

void MainWindow::compareWithFile()
{
    if (!document_.isOpen())
        return;
    const std::string path = files_.openFile({QT_TRANSLATE_NOOP("Core", "Compare with..."), kCompareFilter, {}, {}});
    if (!path.empty())
        showDifferences(path, QString::fromStdString(path));
}

void MainWindow::compareWithPhone()
{
    if (!document_.isOpen() || !ctx_.link.connected)
        return;
    const Result<std::string> copy = menu_.readPhoneMenuCopy();
    if (!copy) {
        showFailure(copy.failure());
        return;
    }
    showDifferences(*copy, tr("the phone"));
}

void MainWindow::showDifferences(const std::string& otherPath, const QString& otherName)
{
    const Result<std::vector<std::string>> changes = menu_.changesFrom(otherPath);
    if (!changes) {
        showFailure(changes.failure());
        return;
    }
    QStringList lines;
    for (const std::string& line : *changes)
        lines << coreText(line);
    if (!differences_)
        differences_ = new DifferencesWindow(this);
    differences_->showChanges(otherName, lines);
}

} // namespace tessaro
