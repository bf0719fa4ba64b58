#include "ui/splash_screen.h"

#include <algorithm>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "models/main_window_rules.h"
#include "ui/progress_window.h"

namespace tessaro {

SplashScreen::SplashScreen(QWidget* owner)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      owner_(owner)
{
    setObjectName(QStringLiteral("splashScreen"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xBF, 0xFF, 0xBF));
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);

    auto label = [this](const char* name, const QString& text, int sizeDelta, bool bold) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setAlignment(Qt::AlignCenter);
        QFont f = l->font();
        f.setPointSize(std::max(6, f.pointSize() + sizeDelta));
        f.setBold(bold);
        l->setFont(f);
        return l;
    };
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->addWidget(label("readyLabel", QStringLiteral("D2U05 Ready"), 0, false));
    layout->addWidget(label("productLabel", QStringLiteral("Tessaro"), 14, true));
    layout->addWidget(label("versionLabel", QString::fromLatin1(kVersionText), 2, false));
    layout->addWidget(label("editionLabel", tr("edition"), 0, false));
    layout->addWidget(label("dedicationLabel", tr("For everyone who keeps an old phone alive."),
                            -1, false));
    setFixedSize(sizeHint().expandedTo(QSize(300, 180)));
    setAlpha(200);
    // A message or dialog shown while the splash stands must not be covered by it.
    qApp->installEventFilter(this);
}

bool SplashScreen::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && qobject_cast<QDialog*>(watched) && isVisible())
        hide();
    return QWidget::eventFilter(watched, event);
}

void SplashScreen::setAlpha(int alpha)
{
    alpha_ = std::clamp(alpha, 0, 255);
    setWindowOpacity(alpha_ / 255.0);
}

void SplashScreen::centreOnOwner()
{
    centreOn(this, owner_);
}

} // namespace tessaro
