#include "core/link/ChatSession.h"

#include "core/kit/Clock.h"
#include "core/link/MessageCodes.h"
#include "core/link/QuillNetModule.h"
#include "core/morse/CharacterDispatch.h"
#include "core/morse/TextPlayback.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kCwSendDelayMs = 100;

}  // namespace

ChatSession::ChatSession(QuillNetModule& module, CharacterDispatch& dispatch, Clock& clock,
                         QObject* parent)
    : QObject(parent), m_module(module), m_dispatch(dispatch), m_clock(clock) {
    connect(&m_module, &QuillNetModule::cwChatReceived, this,
            [this](const QString& text) { PlayCwChatText(text, Form::Receiving); });
    // A received line ends with its link.
    connect(&m_module, &QuillNetModule::linkChanged, this, &ChatSession::wakePlaybacks);
}

void ChatSession::wakePlaybacks() {
    for (TextPlayback* playback : std::as_const(m_playbacks)) {
        playback->wake();
    }
}

void ChatSession::setOwnStatus(LinkStatus status) {
    m_module.link().teacherStatus = status;
    emit ownStatusChanged();
}

void ChatSession::inputChanged(bool empty) {
    if (!empty && !m_typingNoticeSent) {
        m_typingNoticeSent = true;
        m_module.SendNetMessage(MessageType::ChatStatus, ChatCode::kTyping);
    } else if (empty) {
        m_module.SendNetMessage(MessageType::ChatStatus, ChatCode::kInputCleared);
        m_typingNoticeSent = false;
    }
}

void ChatSession::SendTextLine(const QString& text) {
    m_module.SendNetMessage(MessageType::Chat, text);
}

void ChatSession::SendCwChatLine(const QString& text) {
    ++m_linesToSend;
    RunAfter(m_clock, this, kCwSendDelayMs, [this, text] {
        --m_linesToSend;
        LinkState& s = m_module.link();
        m_module.SendNetMessage(MessageType::CwChat, text);
        s.cwChatBuffer += s.myCallsign + u" > "_s + text + u"\r\n"_s;
        emit transcriptChanged();
        // The line stays in the box while the sender hears it.
        PlayCwChatText(text, Form::Sending, [this] { emit lineHeardBySender(); });
    });
}

void ChatSession::PlayCwChatText(const QString& text, Form form, std::function<void()> then) {
    const bool receiving = form == Form::Receiving;
    const quint64 serial = m_module.linkSerial();
    const quint64 stopsBefore = m_receiveStops;
    emit soundingChanged(true);
    if (receiving) {
        if (++m_receiving == 1) {
            emit receivingChanged(true);
        }
        m_module.SendNetMessage(MessageType::ChatStatus, ChatCode::kReceiving);
        setOwnStatus(LinkStatus::Receiving);
        if (text.isEmpty()) {
            emit emptyTextReceived();
        }
    }
    // Whoever sent a received line cannot keep it sounding once gone, nor against the user: it
    // ends after the character that sounds.
    const auto cut = [this, receiving, serial, stopsBefore] {
        return receiving && (m_module.linkGoneSince(serial) || m_receiveStops != stopsBefore);
    };
    auto* playback = new TextPlayback(m_dispatch, m_clock, this);
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

void ChatSession::lineHeard(bool receiving, quint64 serial) {
    if (receiving && --m_receiving == 0) {
        emit receivingChanged(false);
    }
    // A link that ended while the line sounded has left the idle captions: they stay.
    if (receiving && !m_module.linkGoneSince(serial)) {
        m_module.SendNetMessage(MessageType::ChatStatus, ChatCode::kReceivingEnded);
        setOwnStatus(LinkStatus::ReceivingEnded);
    }
    emit soundingChanged(false);
}

void ChatSession::StopCwReceive() {
    if (m_receiving == 0) {
        return;
    }
    ++m_receiveStops;
    wakePlaybacks();
    emit receivingStopped();
}

void ChatSession::QueueCwChatChar(QChar character) {
    setOwnStatus(LinkStatus::Sending);
    emit keyingChanged(true);
    m_module.SendNetMessage(MessageType::CwChat, QString(character));
    const bool idle = m_cwSendQueue.isEmpty();
    m_cwSendQueue.append(QString(character));
    if (idle) {
        RunCwChatQueue();
    }
}

void ChatSession::SendHandKeyedChar(const QString& text) {
    // Signs the chat cannot carry as one character (the decoder's unknown marker, run-together
    // signs such as [KN]) stay on this side.
    if (text.size() != 1 || text.front() == u'*') {
        return;
    }
    emit handKeyedSent(text);
    m_module.SendNetMessage(MessageType::CwChat, text);
}

void ChatSession::RunCwChatQueue() {
    m_queueSerial = m_module.linkSerial();
    m_queuePlayed = 0;
    playQueued();
}

void ChatSession::playQueued() {
    if (m_queuePlayed < m_cwSendQueue.size()) {
        // Keys pressed meanwhile are queued behind this one and played in the same run.
        RunAfter(m_clock, this, 1, [this] {
            const QString entry = m_cwSendQueue.at(m_queuePlayed++);
            PlayCwChatText(entry, Form::Sending, [this] { playQueued(); });
        });
        return;
    }
    m_cwSendQueue.clear();
    // As above; the speeds come back either way.
    if (!m_module.linkGoneSince(m_queueSerial)) {
        setOwnStatus(LinkStatus::SendingEnded);
        m_module.SendNetMessage(MessageType::ChatStatus, ChatCode::kSendingEnded);
    }
    emit keyingChanged(false);
}
