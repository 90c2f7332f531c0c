#include "core/sound/CaptureSources.h"

#include <pulse/pulseaudio.h>

CaptureSources::CaptureSources(QObject* parent) : QObject(parent) {}

CaptureSources::~CaptureSources() {
    m_connection.close();
}

void CaptureSources::request() {
    m_connection.close();
    m_found.clear();
    m_finished = false;
    ++m_request;
    m_connection.open(
        "Quillstart sources", kAnswerWithinMs,
        [this](pa_context* context) {
            pa_operation* listing =
                pa_context_get_source_info_list(context, &CaptureSources::onSource, this);
            if (listing == nullptr) {
                finish(CaptureFault::ListRefused);
                return;
            }
            pa_operation_unref(listing);
        },
        [this](CaptureFault fault) { finish(fault); });
}

void CaptureSources::onSource(pa_context* /*context*/, const pa_source_info* info, int last,
                              void* self) {
    auto* sources = static_cast<CaptureSources*>(self);
    if (last != 0) {
        sources->finish(last < 0 ? CaptureFault::ListRefused : CaptureFault::None);
        return;
    }
    if (info == nullptr || info->name == nullptr) {
        return;
    }
    sources->m_found.append(
        {QString::fromUtf8(info->name),
         QString::fromUtf8(info->description != nullptr ? info->description : info->name),
         static_cast<int>(info->sample_spec.rate), static_cast<int>(info->sample_spec.channels),
         info->monitor_of_sink != PA_INVALID_INDEX});
}

void CaptureSources::finish(CaptureFault fault) {
    if (m_finished) {
        return;
    }
    m_finished = true;
    m_connection.answered();
    QList<CaptureSource> found = fault == CaptureFault::None ? m_found : QList<CaptureSource>{};
    // The connection is closed from this object's thread: its own loop cannot stop itself.
    QMetaObject::invokeMethod(
        this,
        [this, found = std::move(found), fault, request = m_request] {
            if (request != m_request) {
                return;
            }
            m_connection.close();
            emit listed(found, fault);
        },
        Qt::QueuedConnection);
}
