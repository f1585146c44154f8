#include "core/change_feed.h"

#include <QMetaMethod>

namespace recipes {

ChangeFeed &ChangeFeed::instance()
{
    static ChangeFeed feed;
    return feed;
}

bool ChangeFeed::listened() const { return isSignalConnected(QMetaMethod::fromSignal(&ChangeFeed::changed)); }

}  // namespace recipes
