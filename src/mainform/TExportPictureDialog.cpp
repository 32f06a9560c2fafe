#include "mainform/TExportPictureDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QRadioButton>
#include <QVBoxLayout>

TExportPictureDialog::TExportPictureDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(Caption);
    auto* layout = new QVBoxLayout(this);
    RBMap = new QRadioButton("マップ全体 (2048x1024)");
    ChkObjects = new QCheckBox("オブジェクトを描く");
    RBChip16x16Sheet = new QRadioButton("16x16チップ一覧 (256x256)");
    RBChip32x32Sheet = new QRadioButton("32x32チップ一覧 (512x512)");
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
