#include "ui/link/NoCallsignOrIpDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

NoCallsignOrIpDialog::NoCallsignOrIpDialog(bool callsignMissing, bool addressMissing,
                                           QWidget* parent)
    : QDialog(parent), m_label(new QLabel(this)), m_okButton(new QPushButton(u"OK"_s, this)) {
    setObjectName(u"NoCallsignOrIpDialog"_s);
    m_label->setObjectName(u"Label1"_s);
    m_label->setTextFormat(Qt::PlainText);
    m_okButton->setObjectName(u"OKButton"_s);
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);

    if (callsignMissing && addressMissing) {
        setWindowTitle(u"コール・IPエラー"_s);
        m_label->setText(u"コールサイン及びIPアドレスを入力して下さい。"_s);
    } else if (callsignMissing) {
        setWindowTitle(u"コールサインエラー"_s);
        m_label->setText(u"コールサインを入力して下さい。"_s);
    } else {
        setWindowTitle(u"IPアドレスエラー"_s);
        m_label->setText(u"IPアドレスを入力して下さい。"_s);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->addWidget(m_label);
    layout->addWidget(m_okButton, 0, Qt::AlignHCenter);
}
