// A prime-focus paraboloid illuminated by the horn: the dish's geometry, Silver's integrals,
// the feed-position search and the horn on the dish, each in its own header.
#pragma once

#include "feed/dish_geometry.hpp"
#include "feed/feed_position.hpp"
#include "feed/horn_on_dish.hpp"
#include "feed/silver.hpp"
