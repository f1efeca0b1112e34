#include "RecordPlayback.h"

#include "GdiCanvas.h"

namespace RecordPlayback {

bool play(RecordWalker& walker, GdiCanvas& canvas, quint32 endType,
          const std::function<bool(const RecordWalker::Record&)>& playOne) {
    RecordWalker::Record record;
    while (!canvas.limitReached() && walker.next(record)) {
        if (record.type == endType)
            break;
        if (!playOne(record))
            return true;
    }
    if (walker.hitRecordLimit())
        canvas.reachLimit();
    return walker.malformed();
}

} // namespace RecordPlayback
