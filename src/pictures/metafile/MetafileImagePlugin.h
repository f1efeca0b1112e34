#pragma once

#include <QImageIOPlugin>

// Offers the metafile player to Qt's image loading under the format keys "wmf" and "emf".
// Built in statically: every program that loads pictures reads metafiles the same way.
class MetafileImagePlugin : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "metafile.json")

public:
    Capabilities capabilities(QIODevice* device, const QByteArray& format) const override;
    QImageIOHandler* create(QIODevice* device, const QByteArray& format = {}) const override;
};
