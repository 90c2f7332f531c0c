#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

#include "ui/link/NetWindow.h"

class CharacterDispatch;
class QuillNetModule;
class TextPlayback;

// CW chat: a line sent from the input box, heard by both sides as Morse, and the received texts.
class CwChat : public QObject {
    Q_OBJECT
  public:
    // Whether a text is this side's own (heard as it is sent) or the peer's.
    enum class Form { Sending, Receiving };

    CwChat(NetWindow& window, QuillNetModule& module, CharacterDispatch& dispatch,
           QObject* parent = nullptr);

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
    // The user stopped the received lines (for screen readers).
    void receivingStopped();

  private:
    void RunCwChatQueue();
    void playQueued();
    // A line is over: the peer and the labels are told, the buttons come back.
    void lineHeard(bool receiving, quint64 serial);
    void wakePlaybacks();

    NetWindow& m_w;
    QuillNetModule& m_module;
    CharacterDispatch& m_dispatch;
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
};
