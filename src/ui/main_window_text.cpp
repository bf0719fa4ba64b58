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

#include "core/menu_diff.h"
#include "core/open_menu.h"
#include "edit/menu_text_file.h"
#include "phone/round_trip.h"
#include "phone/transfer.h"
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
// The phone's menu as it stands, fetched for a comparison only.
constexpr char kPhoneMenuCopy[] = "mma_phone";

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
    if (const Status written = exportMenuText(ctx_.menu, path); !written)
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
    if (const Status imported = importMenuText(path, ctx_.menu); !imported) {
        showFailure(imported.failure());
        return;
    }
    summary_->hide();
    showProfileState();
    tree_->selectNode(ctx_.menu.document.menuRoot());
    tree_->expand(model_->indexOfNode(ctx_.menu.document.menuRoot()));
    // No mma_ucp file holds it yet: leaving it asks to save, as after a repair.
    document_.opened(true);
}

void MainWindow::compareWithFile()
{
    if (!document_.isOpen())
        return;
    const std::string path = files_.openFile({QT_TRANSLATE_NOOP("Core", "Compare with..."), kCompareFilter, {}, {}});
    if (!path.empty())
        showDifferences(path, QString::fromStdString(path));
}

Result<std::string> MainWindow::readPhoneMenuCopy()
{
    const std::string copy = ctx_.workingFolder.file(kPhoneMenuCopy);
    if (const Status read = downloadFile(ctx_.phone, kPhoneMenuPath, copy, TRANSLATABLE("Core", "Reading mma_ucp"));
        !read)
        return read.failure();
    return copy;
}

void MainWindow::compareWithPhone()
{
    if (!document_.isOpen() || !ctx_.link.connected)
        return;
    const Result<std::string> copy = readPhoneMenuCopy();
    if (!copy) {
        if (!copy.failure().cancelled())
            showFailure(copy.failure());
        return;
    }
    showDifferences(*copy, tr("the phone"));
}

bool MainWindow::confirmPhoneChanges()
{
    // A phone without a readable menu has nothing to compare with; the upload says what fails.
    const Result<std::string> copy = readPhoneMenuCopy();
    if (!copy)
        return !copy.failure().cancelled();
    const Result<QStringList> changes = changesFrom(*copy);
    if (!changes || changes->isEmpty())
        return true;
    if (phoneChangesQuestion_)
        return phoneChangesQuestion_(*changes);
    QDialog question(this);
    question.setObjectName(QStringLiteral("phoneChangesQuestion"));
    question.setWindowTitle(tr("Save to phone"));
    auto* layout = new QVBoxLayout(&question);
    layout->addWidget(new QLabel(tr("Saving changes the phone's menu:"), &question));
    auto* text = new QPlainTextEdit(changes->join(u'\n'), &question);
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, &question);
    buttons->addButton(tr("&Save to phone"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, &question, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &question, &QDialog::reject);
    layout->addWidget(buttons);
    question.resize(640, 400);
    return question.exec() == QDialog::Accepted;
}

Result<QStringList> MainWindow::changesFrom(const std::string& otherPath) const
{
    const Result<MenuDescription> other = describeMenuFile(otherPath, ctx_.menu.items);
    if (!other)
        return other.failure();
    // Records of unknown kinds count as the open menu would keep them with "Save all data".
    MenuDescription mine = describeMenu(ctx_.menu.document, ctx_.menu.saveMode);
    mine.saveMode.setSaveAll(true);
    QStringList lines;
    for (const std::string& line : menuChangeLines(*other, mine))
        lines << QString::fromStdString(line);
    return lines;
}

void MainWindow::showDifferences(const std::string& otherPath, const QString& otherName)
{
    Result<QStringList> lines = changesFrom(otherPath);
    if (!lines) {
        showFailure(lines.failure());
        return;
    }
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
    if (lines->isEmpty())
        *lines << tr("The menus are the same.");
    differences_->findChild<QPlainTextEdit*>(QStringLiteral("differencesText"))->setPlainText(lines->join(u'\n'));
    differences_->show();
    differences_->raise();
}

} // namespace tessaro
