#include "MetafileImagePlugin.h"

#include "MetafileImageHandler.h"

QImageIOPlugin::Capabilities MetafileImagePlugin::capabilities(QIODevice* device,
                                                               const QByteArray& format) const {
    if (format == "wmf" || format == "emf")
        return CanRead;
    if (!format.isEmpty() || !device || !device->isOpen())
        return {};
    return MetafileImageHandler::canRead(device) ? CanRead : Capabilities{};
}

QImageIOHandler* MetafileImagePlugin::create(QIODevice* device, const QByteArray& format) const {
    auto* handler = new MetafileImageHandler;
    handler->setDevice(device);
    handler->setFormat(format);
    return handler;
}
