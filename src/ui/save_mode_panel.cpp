#include "ui/save_mode_panel.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/save_mode.h"

namespace tessaro {

SaveModePanel::SaveModePanel(QWidget* parent) : QGroupBox(parent)
{
    setTitle(tr("MMA save mode"));
    setObjectName(QStringLiteral("saveModeGroup"));
    radio22_ = new QRadioButton(tr("22-byte"), this);
    radio22_->setObjectName(QStringLiteral("recordSize22"));
    radio22_->setToolTip(tr("Old mma_ucp format"));
    radio36_ = new QRadioButton(tr("36-byte"), this);
    radio36_->setObjectName(QStringLiteral("recordSize36"));
    radio36_->setToolTip(tr("New mma_ucp format"));
    radio36_->setChecked(true);
    saveAll_ = new QCheckBox(tr("Save all data"), this);
    saveAll_->setObjectName(QStringLiteral("saveAllBox"));
    saveAll_->setToolTip(tr("Save all mma data including currently unsupported"));
    c698p_ = new QCheckBox(tr("c698p mma_ucp fix"), this);
    c698p_->setObjectName(QStringLiteral("c698pFixBox"));
    c698p_->setToolTip(tr("Fix mma_ucp to act properly on R3624 FW"));
    c698p_->setEnabled(false);
    cdma_ = new QCheckBox(tr("CDMA mode (little-endian)"), this);
    cdma_->setObjectName(QStringLiteral("cdmaBox"));
    iconMarkerGroup_ = new QGroupBox(tr("Custom icon attribute"), this);
    iconMarkerGroup_->setObjectName(QStringLiteral("iconMarkerGroup"));
    marker06_ = new QRadioButton(QStringLiteral("06"), iconMarkerGroup_);
    marker06_->setObjectName(QStringLiteral("iconMarker06"));
    marker0C_ = new QRadioButton(QStringLiteral("0C"), iconMarkerGroup_);
    marker0C_->setObjectName(QStringLiteral("iconMarker0C"));
    marker0C_->setChecked(true);
    iconMarkerGroup_->setEnabled(false);

    // User clicks change the save mode; the rules of SaveMode decide what the others show.
    connect(radio22_, &QRadioButton::clicked, this,
            [this] { Q_EMIT changeRequested([](SaveMode& m) { m.setRecordSize(22); }); });
    connect(radio36_, &QRadioButton::clicked, this,
            [this] { Q_EMIT changeRequested([](SaveMode& m) { m.setRecordSize(36); }); });
    connect(saveAll_, &QCheckBox::clicked, this,
            [this](bool on) { Q_EMIT changeRequested([on](SaveMode& m) { m.setSaveAll(on); }); });
    connect(c698p_, &QCheckBox::clicked, this,
            [this](bool on) { Q_EMIT changeRequested([on](SaveMode& m) { m.setC698p(on); }); });
    connect(cdma_, &QCheckBox::clicked, this,
            [this](bool on) { Q_EMIT changeRequested([on](SaveMode& m) { m.setCdma(on); }); });
    connect(marker06_, &QRadioButton::clicked, this,
            [this] { Q_EMIT changeRequested([](SaveMode& m) { m.setIconMarker(IconMarker::K06); }); });
    connect(marker0C_, &QRadioButton::clicked, this,
            [this] { Q_EMIT changeRequested([](SaveMode& m) { m.setIconMarker(IconMarker::K0C); }); });

    auto* markers = new QHBoxLayout(iconMarkerGroup_);
    markers->addWidget(marker06_);
    markers->addWidget(marker0C_);
    auto* sizes = new QHBoxLayout;
    sizes->addWidget(radio22_);
    sizes->addWidget(radio36_);
    auto* modeLayout = new QVBoxLayout(this);
    modeLayout->addLayout(sizes);
    modeLayout->addWidget(saveAll_);
    modeLayout->addWidget(c698p_);
    modeLayout->addWidget(cdma_);
    modeLayout->addWidget(iconMarkerGroup_);
}

void SaveModePanel::showSaveMode(const SaveMode& mode)
{
    const QSignalBlocker b1(radio22_), b2(radio36_), b3(saveAll_), b4(c698p_), b5(cdma_), b6(marker06_), b7(marker0C_);
    radio22_->setChecked(mode.recordSize() == 22);
    radio36_->setChecked(mode.recordSize() != 22);
    saveAll_->setChecked(mode.saveAll());
    c698p_->setChecked(mode.c698p());
    c698p_->setEnabled(mode.c698pEnabled());
    cdma_->setChecked(mode.cdma());
    marker06_->setChecked(mode.iconMarker() == IconMarker::K06);
    marker0C_->setChecked(mode.iconMarker() == IconMarker::K0C);
    iconMarkerGroup_->setEnabled(mode.markerEnabled());
}

} // namespace tessaro
