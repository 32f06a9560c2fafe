#include "mainform/TExportPictureDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QRadioButton>
#include <QVBoxLayout>

TExportPictureDialog::TExportPictureDialog(QWidget* parent) : QDialog(parent) {
    auto* layout = new QVBoxLayout(this);
    RBMap = new QRadioButton;
    ChkObjects = new QCheckBox;
    RBChip16x16Sheet = new QRadioButton;
    RBChip32x32Sheet = new QRadioButton;
    RBMap->setChecked(true);
    layout->addWidget(RBMap);
    layout->addWidget(ChkObjects);
    layout->addWidget(RBChip16x16Sheet);
    layout->addWidget(RBChip32x32Sheet);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(RBMap, &QRadioButton::toggled, this, &TExportPictureDialog::RBMapToggled);
    RetranslateUi();
}

void TExportPictureDialog::RetranslateUi() {
    setWindowTitle(tr(Caption));
    RBMap->setText(tr("マップ全体 (2048x1024)"));
    ChkObjects->setText(tr("オブジェクトを描く"));
    RBChip16x16Sheet->setText(tr("16x16チップ一覧 (256x256)"));
    RBChip32x32Sheet->setText(tr("32x32チップ一覧 (512x512)"));
}

void TExportPictureDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        RetranslateUi();
}

// The marks belong to the map only.
void TExportPictureDialog::RBMapToggled(bool checked) {
    ChkObjects->setEnabled(checked);
}

StagePicture::Kind TExportPictureDialog::ChosenKind() const {
    if (RBChip16x16Sheet->isChecked())
        return StagePicture::Kind::Chip16x16Sheet;
    if (RBChip32x32Sheet->isChecked())
        return StagePicture::Kind::Chip32x32Sheet;
    return StagePicture::Kind::Map;
}

bool TExportPictureDialog::WithObjects() const {
    return ChosenKind() == StagePicture::Kind::Map && ChkObjects->isChecked();
}
