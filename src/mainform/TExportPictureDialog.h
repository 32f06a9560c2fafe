#pragma once

#include "graphics/StagePicture.h"

#include <QDialog>

class QCheckBox;
class QRadioButton;

// Asks what to write as a picture: the current stage's whole map (optionally with the object
// marks) or one of its two chip sheets.
class TExportPictureDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* Caption =
        QT_TRANSLATE_NOOP("TExportPictureDialog", "画像として書き出す");

    explicit TExportPictureDialog(QWidget* parent);

    StagePicture::Kind ChosenKind() const;
    bool WithObjects() const;

    QRadioButton* RBMap = nullptr;
    QRadioButton* RBChip16x16Sheet = nullptr;
    QRadioButton* RBChip32x32Sheet = nullptr;
    QCheckBox* ChkObjects = nullptr;

protected:
    void changeEvent(QEvent* event) override;

private:
    void RBMapToggled(bool checked);
    // Every caption in the language installed now.
    void RetranslateUi();
};
