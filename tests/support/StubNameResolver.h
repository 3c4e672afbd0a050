// A name resolver that answers from a table instead of the machine's name service, given to
// the socket or client under test so that its outcome does not depend on the machine's DNS.
#pragma once

#include "platform/NameResolver.h"
#include "platform/SocketErrors.h"

#include <QString>
#include <QStringList>

// Only `name` is known, with `addresses`; every other name is not found (11001).
inline TNameResolver::Function StubNameResolver(const QString& name, const QStringList& addresses)
{
    return [name, addresses](const QString& query, bool byName, QStringList& result) {
        if (!byName || query != name)
            return static_cast<int>(WSAHOST_NOT_FOUND);
        result = addresses;
        return 0;
    };
}
