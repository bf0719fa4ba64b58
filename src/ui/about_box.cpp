#include "ui/about_box.h"

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/mnemonics.h"
#include "ui/progress_window.h"

namespace tessaro {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(tr("About"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("aboutPanel"));
    panel->setFrameShape(QFrame::StyledPanel);

    auto* product = new QLabel(QStringLiteral("Tessaro"), panel);
    product->setObjectName(QStringLiteral("productName"));
    QFont big = product->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    product->setFont(big);
    auto* version = new QLabel(tr("Version %1").arg(QStringLiteral(TESSARO_VERSION)), panel);
    version->setObjectName(QStringLiteral("version"));
    auto* copyright = new QLabel(tr("Written by the Tessaro developers."), panel);
    copyright->setObjectName(QStringLiteral("copyright"));
    auto* link = new QLabel(tr("Source and notes: see the README next to the program."),
                            panel);
    link->setObjectName(QStringLiteral("webLink"));
    link->setWordWrap(true);
    auto* credits = new QPlainTextEdit(panel);
    credits->setObjectName(QStringLiteral("credits"));
    credits->setReadOnly(true);
    credits->setPlainText(tr(
        "An editor for the main menu of Motorola P2K phones.\n"
        "Thanks to everyone who tried the menus on their own phones "
        "and reported what worked."));
    credits->setFixedHeight(80);

    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->addWidget(product);
    panelLayout->addWidget(version);
    panelLayout->addWidget(copyright);
    panelLayout->addWidget(link);
    panelLayout->addWidget(credits);

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    setFixedSize(340, sizeHint().height());
    giveMnemonics(*this);
}

void AboutBox::showEvent(QShowEvent* event)
{
    centreOn(this, nullptr);
    if (auto* ok = findChild<QPushButton*>(QStringLiteral("okButton")))
        ok->setFocus();
    QDialog::showEvent(event);
}

} // namespace tessaro
