#include "ui/link/CwChat.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

#include "core/kit/Clock.h"
#include "core/kit/LinkState.h"
#include "core/kit/RoleCaptions.h"
#include "core/kit/SharedTexts.h"
#include "core/link/MessageCodes.h"
#include "core/link/QuillNetModule.h"
#include "core/morse/CharacterDispatch.h"
#include "core/morse/TextPlayback.h"
#include "ui/kit/ControlHelpers.h"
#include "ui/kit/DesktopServices.h"
#include "ui/link/LinkUi.h"
#include "ui/morse/SoundUi.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kCwSendDelayMs = 100;

}  // namespace

CwChat::CwChat(NetWindow& window, QuillNetModule& module, CharacterDispatch& dispatch,
               QObject* parent)
    : QObject(parent), m_w(window), m_module(module), m_dispatch(dispatch) {
    connect(&m_module, &QuillNetModule::cwChatReceived, this,
            [this](const QString& text) { PlayCwChatText(text, Form::Receiving); });
    connect(m_w.ui.StopCwReceiveButton, &QPushButton::clicked, this, &CwChat::StopCwReceive);
    // A received line ends with its link.
    connect(&m_module, &QuillNetModule::linkChanged, this, &CwChat::wakePlaybacks);
}

void CwChat::wakePlaybacks() {
    for (TextPlayback* playback : std::as_const(m_playbacks)) {
        playback->wake();
    }
}

void CwChat::SendCwChatLine(const QString& text) {
    ++m_linesToSend;
    RunAfter(m_w.clock, this, kCwSendDelayMs, [this, text] {
        --m_linesToSend;
        const LinkUi& ui = m_w.ui;
        LinkState& s = m_w.link;
        m_module.SendNetMessage(MessageType::CwChat, text);
        s.cwChatBuffer += s.myCallsign + u" > "_s + text + u"\r\n"_s;
        ui.ChatText->setPlainText(s.cwChatBuffer);
        // The line stays in the box while the sender hears it.
        PlayCwChatText(text, Form::Sending, [this] {
            m_w.ui.SendMessageText->clear();
            m_w.ui.SendMessageText->setFocus();
        });
    });
}

void CwChat::PlayCwChatText(const QString& text, Form form, std::function<void()> then) {
    const LinkUi& ui = m_w.ui;
    LinkState& s = m_w.link;
    const bool receiving = form == Form::Receiving;
    const quint64 serial = m_module.linkSerial();
    const quint64 stopsBefore = m_receiveStops;
    m_w.soundUi.toneTestButton->setEnabled(false);
    if (receiving) {
        ++m_receiving;
        ui.StopCwReceiveButton->setEnabled(true);
        m_module.SendNetMessage(MessageType::ChatStatus, ChatCode::kReceiving);
        s.teacherStatus = LinkStatus::Receiving;
        ui.TeacherLabel->setText(RoleCaption::ChatStatusSelf(s));
        if (text.isEmpty()) {
            m_w.desktop.showMessage(&m_w.window, DesktopServices::Icon::Critical, u"CW受信エラー"_s,
                                    u"CW受信が出来ません｡"_s);
        }
    }
    // Whoever sent a received line cannot keep it sounding once gone, nor against the user: it
    // ends after the character that sounds.
    const auto cut = [this, receiving, serial, stopsBefore] {
        return receiving && (m_module.linkGoneSince(serial) || m_receiveStops != stopsBefore);
    };
    auto* playback = new TextPlayback(m_dispatch, m_w.clock, this);
    m_playbacks.append(playback);
    playback->play(text, CharacterTable::Chat, {cut, cut},
                   [this, playback, receiving, serial, then = std::move(then)] {
                       m_playbacks.removeAll(playback);
                       playback->deleteLater();
                       lineHeard(receiving, serial);
                       if (then) {
                           then();
                       }
                   });
}

void CwChat::lineHeard(bool receiving, quint64 serial) {
    const LinkUi& ui = m_w.ui;
    LinkState& s = m_w.link;
    if (receiving && --m_receiving == 0) {
        ui.StopCwReceiveButton->setEnabled(false);
    }
    // A link that ended while the line sounded has left the idle captions: they stay.
    if (receiving && !m_module.linkGoneSince(serial)) {
        m_module.SendNetMessage(MessageType::ChatStatus, ChatCode::kReceivingEnded);
        s.teacherStatus = LinkStatus::ReceivingEnded;
        ui.TeacherLabel->setText(RoleCaption::ChatStatusSelf(s));
    }
    m_w.soundUi.toneTestButton->setEnabled(true);
}

void CwChat::StopCwReceive() {
    if (m_receiving == 0) {
        return;
    }
    ++m_receiveStops;
    wakePlaybacks();
    emit receivingStopped();
}

void CwChat::QueueCwChatChar(QChar character) {
    const LinkUi& ui = m_w.ui;
    LinkState& s = m_w.link;
    s.teacherStatus = LinkStatus::Sending;
    ui.TeacherLabel->setText(RoleCaption::ChatStatusSelf(s));
    SetSpeedControlsEnabled(m_w.soundUi, false);
    m_module.SendNetMessage(MessageType::CwChat, QString(character));
    const bool idle = m_cwSendQueue.isEmpty();
    m_cwSendQueue.append(QString(character));
    if (idle) {
        RunCwChatQueue();
    }
}

void CwChat::SendHandKeyedChar(const QString& text) {
    // Signs the chat cannot carry as one character (the decoder's unknown marker, run-together
    // signs such as [KN]) stay on this side.
    if (text.size() != 1 || text.front() == u'*') {
        return;
    }
    QTextCursor end(m_w.ui.ChatText->document());
    end.movePosition(QTextCursor::End);
    end.insertText(text);
    m_module.SendNetMessage(MessageType::CwChat, text);
}

void CwChat::RunCwChatQueue() {
    m_queueSerial = m_module.linkSerial();
    m_queuePlayed = 0;
    playQueued();
}

void CwChat::playQueued() {
    if (m_queuePlayed < m_cwSendQueue.size()) {
        // Keys pressed meanwhile are queued behind this one and played in the same run.
        RunAfter(m_w.clock, this, 1, [this] {
            const QString entry = m_cwSendQueue.at(m_queuePlayed++);
            PlayCwChatText(entry, Form::Sending, [this] { playQueued(); });
        });
        return;
    }
    m_cwSendQueue.clear();
    const LinkUi& ui = m_w.ui;
    LinkState& s = m_w.link;
    // As above; the speeds come back either way.
    if (!m_module.linkGoneSince(m_queueSerial)) {
        s.teacherStatus = LinkStatus::SendingEnded;
        ui.TeacherLabel->setText(RoleCaption::ChatStatusSelf(s));
        m_module.SendNetMessage(MessageType::ChatStatus, ChatCode::kSendingEnded);
    }
    SetSpeedControlsEnabled(m_w.soundUi, true);
}
