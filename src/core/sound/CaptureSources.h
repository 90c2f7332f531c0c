#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include "core/sound/CaptureConnection.h"
#include "core/sound/CaptureFault.h"

struct pa_source_info;

// One of the sound server's capture sources, as the server describes it.
struct CaptureSource {
    QString name;         // what the server knows it by, for recording
    QString description;  // what a user sees
    int sampleRate = 0;
    int channels = 0;
    // The monitor of an output: what plays there (a web receiver in a browser, say) recorded.
    bool monitorOfOutput = false;
};

// Lists the sound server's capture sources on a connection of its own, so the window never waits
// for the server: the answer comes back as a signal on this object's thread, within the time
// limit and a little, with an empty list and the reason when the server is missing or silent.
class CaptureSources : public QObject {
    Q_OBJECT
  public:
    static constexpr int kAnswerWithinMs = 2000;

    explicit CaptureSources(QObject* parent = nullptr);
    ~CaptureSources() override;

    // Asks afresh; a request still under way is given up and never answered.
    void request();
    bool isListing() const { return m_connection.isOpen(); }

  signals:
    void listed(const QList<CaptureSource>& sources, CaptureFault fault);

  private:
    static void onSource(pa_context* context, const pa_source_info* info, int last, void* self);
    // The loop's thread, with its lock held.
    void finish(CaptureFault fault);

    CaptureConnection m_connection;
    QList<CaptureSource> m_found;
    bool m_finished = false;
    // Which request an answer belongs to: one queued before a new request is dropped.
    int m_request = 0;
};
