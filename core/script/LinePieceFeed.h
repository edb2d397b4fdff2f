#pragma once

#include "core/script/LinePiece.h"
#include "core/script/TwinStyles.h"

#include <QByteArray>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace marlix {

class PhraseHighlighter;

// Works out the pieces of a large script (LinePiece.h) on a thread of its own, in order, from
// a copy of the text, while the editor takes the pieces done and writes them into the control.
// The copy belongs to the feed, so the user may edit the document meanwhile; the editor then
// drops the feed, whose pieces no longer match the text.
class LinePieceFeed {
public:
    // text[from, to) is the document from `start` to its end (the feed keeps `text`, shared);
    // `ready` is called on the feed's thread when a piece is done after take() found none, so
    // the editor can come back for it.
    LinePieceFeed(QByteArray text, qsizetype from, qsizetype to, LineRunStart start,
                  std::shared_ptr<const PhraseHighlighter> highlighter, LineFit fit,
                  std::function<void()> ready, qsizetype pieceBytes = 16 * 1024);
    ~LinePieceFeed(); // stops the thread after the piece it is on
    LinePieceFeed(const LinePieceFeed &) = delete;
    LinePieceFeed &operator=(const LinePieceFeed &) = delete;

    // The next piece in order, if it is done or gets done within `wait`.
    std::optional<LinePiece> take(std::chrono::microseconds wait = std::chrono::microseconds(0));
    // Every piece has been taken.
    bool exhausted() const;

    const PhraseHighlighter *highlighter() const { return m_highlighter.get(); }
    const LineFit &fit() const { return m_fit; }

private:
    void work();

    const QByteArray m_text;
    const qsizetype m_from;
    const qsizetype m_to;
    const LineRunStart m_start;
    const std::shared_ptr<const PhraseHighlighter> m_highlighter;
    const LineFit m_fit;
    const std::function<void()> m_ready;
    const qsizetype m_pieceBytes;

    // Pieces done and not yet taken; the thread waits while this many are.
    static constexpr std::size_t aheadPieces = 64;
    mutable std::mutex m_lock;
    std::condition_variable m_room;
    std::condition_variable m_piece; // a piece was done, or the last
    std::deque<LinePiece> m_done;
    bool m_finished = false; // the last piece is done
    bool m_waiting = false;  // take() found nothing: call `ready` with the next piece
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace marlix
