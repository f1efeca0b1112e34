#pragma once

#include "LatestResult.h"
#include "PictureLoader.h"

#include <QObject>
#include <QSize>
#include <QString>
#include <optional>

// Reads slide pictures off the user-interface thread. A window asks for the picture it shows
// next and may name the one after it to read ahead; it never waits for a decode: a picture not
// yet read arrives later through arrived(). Only the latest request arrives; a picture asked for
// earlier and not read yet is dropped, and its decode is skipped if it has not begun.
class SlideLoader : public QObject {
    Q_OBJECT

public:
    explicit SlideLoader(QObject* parent = nullptr);
    ~SlideLoader() override;

    // The picture, decoded within the bound, when it has already been read; otherwise nothing,
    // and arrived() follows once it is read.
    std::optional<PictureLoader::Result> request(const QString& path, QSize bound);
    // Starts reading a picture that is likely to be requested next.
    void readAhead(const QString& path, QSize bound);
    // A requested picture has not arrived yet.
    bool waiting() const { return m_shown.load.isPending() || m_aheadRequested; }

signals:
    void arrived(const PictureLoader::Result& result);

private:
    // One file read at one bound, and its picture once read when it is kept for later.
    struct Read {
        QString path;
        QSize bound;
        LatestResult load;
        std::optional<PictureLoader::Result> result;

        // Read already, or being read.
        bool holds(const QString& file, QSize within) const {
            return path == file && bound == within && (result || load.isPending());
        }
        void forget();
    };

    // Reads the file into `read`, then hands its picture to `then`.
    template <typename Then> void start(Read& read, const QString& path, QSize bound, Then then);
    void aheadRead(PictureLoader::Result result);

    Read m_shown;                  // the requested picture, handed over through arrived()
    Read m_ahead;                  // kept until it is requested
    bool m_aheadRequested = false; // the picture read ahead is handed over when read
};
