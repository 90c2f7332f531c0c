#include "ui/app/SettingsSavedDialog.h"

#include <QLabel>
#include <QVBoxLayout>

Dialog::Dialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Dialog"));
    setWindowTitle(QStringLiteral("完了！"));
    setModal(false);
    auto* label = new QLabel(QStringLiteral("設定を保存しました"), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->addWidget(label);
}
