#pragma once

#include <QImageIOHandler>
#include <QSize>
#include <memory>

class MetafileRenderer;

// Reads WMF (placeable or plain) and EMF pictures through the metafile player. Reports the
// natural size (QImageIOHandler::Size, pixels at 96 dpi) and draws directly at a requested
// size (ScaledSize), so small views get crisp pictures rather than shrunk ones.
class MetafileImageHandler : public QImageIOHandler {
public:
    MetafileImageHandler();
    ~MetafileImageHandler() override;

    static bool canRead(QIODevice* device);

    bool canRead() const override;
    bool read(QImage* image) override;
    QVariant option(ImageOption option) const override;
    void setOption(ImageOption option, const QVariant& value) override;
    bool supportsOption(ImageOption option) const override;

private:
    // Reads the whole device once; false when it holds no metafile we can play.
    bool load() const;

    QSize m_scaledSize;
    mutable std::unique_ptr<MetafileRenderer> m_renderer;
    mutable bool m_loaded = false;
};
