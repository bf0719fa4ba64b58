// The main window's menus-as-text commands: export the open menu as its JSON description,
// import one, and compare the open menu with a file or with the phone's menu.
#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QVBoxLayout>

#include "core/open_menu.h"
#include "session/editor_session.h"
#include "ui/core_text.h"
#include "ui/file_dialogs.h"
#include "ui/main_window.h"
#include "ui/menu_tree_model.h"
#include "ui/menu_tree_view.h"

namespace tessaro {

namespace {

const char* const kTextFilter = QT_TRANSLATE_NOOP("Core", "Menu text (*.json)|*.json|All Files (*.*)|*.*");
const char* const kCompareFilter = QT_TRANSLATE_NOOP("Core", "All Files (*.*)|*.*");

} // namespace

void MainWindow::buildTextActions(QMenu* file)
{
    exportText_ = makeAction(this, "exportTextAction", tr("&Export as text..."));
    exportText_->setToolTip(tr("Write the menu as an editable JSON description"));
    connect(exportText_, &QAction::triggered, this, &MainWindow::exportText);
    importText_ = makeAction(this, "importTextAction", tr("&Import text..."));
    importText_->setToolTip(tr("Open a menu from its JSON description"));
    connect(importText_, &QAction::triggered, this, &MainWindow::importText);
    compareFile_ = makeAction(this, "compareFileAction", tr("&Compare with..."));
    compareFile_->setToolTip(tr("Show what differs between this menu and an mma_ucp file or a menu text"));
    connect(compareFile_, &QAction::triggered, this, &MainWindow::compareWithFile);
    comparePhone_ = makeAction(this, "comparePhoneAction", tr("Co&mpare with phone"));
    comparePhone_->setToolTip(tr("Show what Save to phone would change on the phone"));
    connect(comparePhone_, &QAction::triggered, this, &MainWindow::compareWithPhone);
    file->addSeparator();
    file->addAction(exportText_);
    file->addAction(importText_);
    file->addAction(compareFile_);
    file->addAction(comparePhone_);
    textActionsChanged();
}

void MainWindow::textActionsChanged()
{
    exportText_->setEnabled(document_.isOpen());
    compareFile_->setEnabled(document_.isOpen());
    comparePhone_->setEnabled(document_.isOpen() && ctx_.link.connected);
}

void MainWindow::exportText()
{
    if (!document_.isOpen())
        return;
    const std::string path = files_.saveFile({QT_TRANSLATE_NOOP("Core", "Export as text..."), kTextFilter, {}, {}});
    if (path.empty())
        return;
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
        lines << QString::fromStdString(line);
    if (!differences_) {
        differences_ = new QDialog(this);
        differences_->setObjectName(QStringLiteral("differencesWindow"));
        auto* layout = new QVBoxLayout(differences_);
        auto* text = new QPlainTextEdit(differences_);
        text->setObjectName(QStringLiteral("differencesText"));
        text->setReadOnly(true);
        text->setLineWrapMode(QPlainTextEdit::NoWrap);
        layout->addWidget(text);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, differences_);
        connect(buttons, &QDialogButtonBox::rejected, differences_, &QDialog::close);
        layout->addWidget(buttons);
        differences_->resize(640, 400);
    }
    differences_->setWindowTitle(tr("Changes from %1 to this menu").arg(otherName));
    if (lines.isEmpty())
        lines << tr("The menus are the same.");
    differences_->findChild<QPlainTextEdit*>(QStringLiteral("differencesText"))->setPlainText(lines.join(u'\n'));
    differences_->show();
    differences_->raise();
}

} // namespace tessaro
