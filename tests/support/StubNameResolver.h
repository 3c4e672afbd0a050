// Answers name lookups from a table instead of the machine's name service while it lives, so
// that a test's outcome does not depend on the machine's DNS.
#pragma once

#include "platform/NameResolver.h"
#include "platform/SocketErrors.h"

#include <QString>
#include <QStringList>

class StubNameResolver {
public:
    // Only `name` is known, with `addresses`; every other name is not found (11001).
    StubNameResolver(const QString& name, const QStringList& addresses)
    {
        TNameResolver::SetFunction(
            [name, addresses](const QString& query, bool byName, QStringList& result) {
                if (!byName || query != name)
                    return static_cast<int>(WSAHOST_NOT_FOUND);
                result = addresses;
                return 0;
            });
    }
    ~StubNameResolver() { TNameResolver::SetFunction({}); }
    StubNameResolver(const StubNameResolver&) = delete;
    StubNameResolver& operator=(const StubNameResolver&) = delete;
};
