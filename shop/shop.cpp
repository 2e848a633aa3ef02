#include "shop/shop.h"
