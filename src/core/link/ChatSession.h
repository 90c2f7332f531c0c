#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

#include "core/kit/LinkState.h"

class CharacterDispatch;
class Clock;
class QuillNetModule;
class TextPlayback;

// Chat as a session without a window. Text chat: the typing notice and a line sent. CW chat: a
// line sent from the input box, heard by both sides as Morse, the keys of the answer buttons and
// the hand key, and the received texts; it moves on the sound output's reports and its own timers.
// A window renders its signals.
class ChatSession : public QObject {
    Q_OBJECT
  public:
    // Whether a text is this side's own (heard as it is sent) or the peer's.
    enum class Form { Sending, Receiving };

    ChatSession(QuillNetModule& module, CharacterDispatch& dispatch, Clock& clock,
                QObject* parent = nullptr);

    // The input box changed: the peer hears that typing began, once, and that the box is empty.
    void inputChanged(bool empty);
    // The send button in text chat.
    void SendTextLine(const QString& text);

    // The send button in CW chat with a text in the box.
    void SendCwChatLine(const QString& text);

    // Sounds the text with the chat table, character by character, and returns; the receiving
    // form tells the peer that it is being heard, and ends early when its link ends or the user
    // stops it. then runs once it is over.
    void PlayCwChatText(const QString& text, Form form, std::function<void()> then = {});
    // Lines still to go or sounding, and keys still to be heard.
    bool playing() const {
        return m_linesToSend > 0 || !m_playbacks.isEmpty() || !m_cwSendQueue.isEmpty();
    }

    // The user's stop: every received line that sounds ends after its current character.
    void StopCwReceive();

    // A character keyed with an answer button in chat mode: sent at once, then heard here in
    // turn behind the ones still waiting.
    void QueueCwChatChar(QChar character);

    // A character keyed by hand in chat mode (" " between words): sent as an answer button's
    // is, and not sounded here, where its sidetone was heard as it was keyed.
    void SendHandKeyedChar(const QString& text);

    // The keyed characters still to be heard here.
    const QStringList& cwSendQueue() const { return m_cwSendQueue; }

  signals:
    // The transcript (LinkState::cwChatBuffer) gained this side's line.
    void transcriptChanged();
    // A hand-keyed character went out: the log shows it at its end.
    void handKeyedSent(const QString& text);
    // The sent line has been heard: the box is emptied for the next one.
    void lineHeardBySender();
    // A line begins or ends sounding (the tone test waits for it).
    void soundingChanged(bool sounding);
    // Whether any received line sounds (the stop button).
    void receivingChanged(bool receiving);
    // The own status in the brackets of the role line changed (LinkState::teacherStatus).
    void ownStatusChanged();
    // The keys of the answer buttons are being heard: the speeds stay as they are meanwhile.
    void keyingChanged(bool keying);
    // A received text was empty.
    void emptyTextReceived();
    // The user stopped the received lines (for screen readers).
    void receivingStopped();

  private:
    void RunCwChatQueue();
    void playQueued();
    // A line is over: the peer and the labels are told, the buttons come back.
    void lineHeard(bool receiving, quint64 serial);
    void wakePlaybacks();
    void setOwnStatus(LinkStatus status);

    QuillNetModule& m_module;
    CharacterDispatch& m_dispatch;
    Clock& m_clock;
    // Filled by the keys and emptied by the run that plays them, which goes on as long as keys
    // come. It has no fixed size: every key sent to the peer is heard here too.
    QStringList m_cwSendQueue;
    qsizetype m_queuePlayed = 0;
    quint64 m_queueSerial = 0;
    QList<TextPlayback*> m_playbacks;
    int m_linesToSend = 0;  // sent lines still in their short pause before they go
    // Received lines sounding (one may sound inside another), and the user's stops so far.
    int m_receiving = 0;
    quint64 m_receiveStops = 0;
    bool m_typingNoticeSent = false;
};
