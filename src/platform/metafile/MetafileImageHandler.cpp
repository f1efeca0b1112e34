#include "MetafileImageHandler.h"

#include <QVariant>

// Placeholder until the player lands: recognises nothing, reads nothing.
bool MetafileImageHandler::canRead(QIODevice*) { return false; }

bool MetafileImageHandler::canRead() const { return false; }

bool MetafileImageHandler::read(QImage*) { return false; }

QVariant MetafileImageHandler::option(ImageOption) const { return {}; }

void MetafileImageHandler::setOption(ImageOption option, const QVariant& value) {
    if (option == ScaledSize)
        m_scaledSize = value.toSize();
}

bool MetafileImageHandler::supportsOption(ImageOption option) const { return option == ScaledSize; }
