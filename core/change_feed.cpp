#include "core/change_feed.h"

namespace recipes {

ChangeFeed &ChangeFeed::instance()
{
    static ChangeFeed feed;
    return feed;
}

}  // namespace recipes
