#pragma once

#include <QImageIOHandler>

// Reads WMF (placeable or plain) and EMF pictures through the metafile player.
class MetafileImageHandler : public QImageIOHandler {
public:
    static bool canRead(QIODevice* device);

    bool canRead() const override;
    bool read(QImage* image) override;
    QVariant option(ImageOption option) const override;
    void setOption(ImageOption option, const QVariant& value) override;
    bool supportsOption(ImageOption option) const override;

private:
    QSize m_scaledSize;
};
