#include "RecordPlayback.h"

#include "GdiCanvas.h"

namespace RecordPlayback {

bool playWalk(RecordWalker& walker, GdiCanvas& canvas,
              const std::function<bool(const RecordWalker::Record&)>& playOne) {
    RecordWalker::Record record;
    // The walker hands out the end record too; playback stops there.
    while (!canvas.limitReached() && walker.next(record) && !walker.reachedEnd()) {
        if (!playOne(record))
            return true;
    }
    if (walker.hitRecordLimit())
        canvas.reachLimit();
    return walker.malformed();
}

} // namespace RecordPlayback
