#pragma once

#include <QImage>

// A picture and the copy of it that is drawn: reduced, with averaging, to the device pixels of
// the place it is drawn in. Drawn as it is, a large picture would be sampled too sparsely. The
// copy is made when first drawn and kept until the place's size or the picture changes.
class ShownPicture {
public:
    void set(const QImage& picture) {
        m_picture = picture;
        m_shown = {};
    }
    bool isNull() const { return m_picture.isNull(); }

    const QImage& at(QSize device) {
        if (m_shown.size() != device)
            m_shown = m_picture.size() == device ? m_picture
                                                 : m_picture.scaled(device, Qt::IgnoreAspectRatio,
                                                                    Qt::SmoothTransformation);
        return m_shown;
    }

private:
    QImage m_picture;
    QImage m_shown;
};
