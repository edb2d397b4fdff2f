#include "core/script/LinePieceFeed.h"

#include "core/script/HighlightStyling.h"

#include <algorithm>

namespace marlix {

LinePieceFeed::LinePieceFeed(QByteArray text, qsizetype from, qsizetype to, LineRunStart start,
                             std::shared_ptr<const PhraseHighlighter> highlighter, LineFit fit,
                             std::function<void()> ready, qsizetype pieceBytes)
    : m_text(std::move(text)), m_from(std::clamp<qsizetype>(from, 0, m_text.size())),
      m_to(std::clamp<qsizetype>(to, m_from, m_text.size())), m_start(start),
      m_highlighter(std::move(highlighter)), m_fit(fit), m_ready(std::move(ready)),
      m_pieceBytes(std::max<qsizetype>(1, pieceBytes)) {
    m_thread = std::thread([this] { work(); });
}

LinePieceFeed::~LinePieceFeed() {
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        m_stop = true;
    }
    m_room.notify_all();
    m_thread.join();
}

std::optional<LinePiece> LinePieceFeed::take(std::chrono::microseconds wait) {
    std::unique_lock<std::mutex> hold(m_lock);
    if (m_done.empty() && wait.count() > 0)
        m_piece.wait_for(hold, wait, [this] { return !m_done.empty() || m_finished; });
    if (m_done.empty()) {
        m_waiting = !m_finished;
        return std::nullopt;
    }
    LinePiece piece = std::move(m_done.front());
    m_done.pop_front();
    hold.unlock();
    m_room.notify_one();
    return piece;
}

bool LinePieceFeed::exhausted() const {
    const std::lock_guard<std::mutex> hold(m_lock);
    return m_finished && m_done.empty();
}

void LinePieceFeed::work() {
    const char *data = m_text.constData() + m_from;
    const qsizetype size = m_to - m_from;
    LineRunStart start = m_start;
    for (qsizetype from = 0; !m_stop;) {
        const qsizetype end = runEnd(data, from, size, m_pieceBytes);
        LinePiece piece =
            linePiece(TextView::whole(data + from, end - from), start, *m_highlighter, m_fit);
        start.position += afterLineEnd(data, end, size) - from;
        start.line += piece.lineCount();
        start.remarkBlockOpen = piece.openAfter.constLast();
        start.folds = piece.folds.constLast().after;
        const bool last = end >= size;
        bool wake = false;
        {
            std::unique_lock<std::mutex> hold(m_lock);
            m_room.wait(hold, [this] { return m_stop || m_done.size() < aheadPieces; });
            if (m_stop)
                return;
            m_done.push_back(std::move(piece));
            m_finished = last;
            wake = m_waiting;
            m_waiting = false;
        }
        m_piece.notify_one();
        if (wake && m_ready)
            m_ready();
        if (last)
            return;
        from = afterLineEnd(data, end, size);
    }
}

} // namespace marlix
